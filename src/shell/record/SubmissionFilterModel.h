#pragma once

#include "core/record/SubmissionStatus.h"

#include <QSortFilterProxyModel>

#include <optional>

// The rows of a SubmissionTableModel the Submissions window shows: those
// in one shown state, or in any, whose cells hold the filter text (any
// case), sorted by the model's SortRole.
class SubmissionFilterModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit SubmissionFilterModel(QObject* parent = nullptr);

    // Nothing: rows in every state.
    void setStateFilter(std::optional<ShownState> state);
    void setTextFilter(const QString& text);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    std::optional<ShownState> state;
};
