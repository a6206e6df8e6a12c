#include "shell/record/SubmissionFilterModel.h"

#include "shell/record/SubmissionTableModel.h"

SubmissionFilterModel::SubmissionFilterModel(QObject* parent)
    : QSortFilterProxyModel(parent)
{
    setSortRole(SubmissionTableModel::SortRole);
    setFilterKeyColumn(-1);
    setFilterCaseSensitivity(Qt::CaseInsensitive);
    setSortCaseSensitivity(Qt::CaseInsensitive);
}

void SubmissionFilterModel::setStateFilter(std::optional<ShownState> shown)
{
    state = shown;
    invalidateFilter();
}

void SubmissionFilterModel::setTextFilter(const QString& text)
{
    setFilterFixedString(text);
}

bool SubmissionFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    if (state) {
        const QModelIndex cell = sourceModel()->index(sourceRow, 0, sourceParent);
        if (cell.data(SubmissionTableModel::ShownStateRole).toInt() != int(*state))
            return false;
    }
    return QSortFilterProxyModel::filterAcceptsRow(sourceRow, sourceParent);
}
