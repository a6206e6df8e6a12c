#pragma once

#include "core/record/RecordEntry.h"
#include "core/record/SubmissionStatus.h"

#include <QAbstractTableModel>

#include <string>
#include <vector>

class ProfileStore;
class SubmissionRecord;

// One line of the Submissions window: a profile's directory, whether sv.dat
// marks it sent, and what the record holds for it (an entry with only the
// two names when the record holds nothing).
struct SubmissionRow
{
    RecordEntry entry;
    bool sentMark = false;

    ShownState shown() const { return ShownStateOf(sentMark, &entry); }
};

// The Submissions window's table: one row a profile and directory, one
// column each for what the user keeps an eye on. The state, the published
// address and the note are edited in place and written to the record at
// once. SortRole gives each cell as it sorts (times in seconds, states in
// their order), ShownStateRole a row's ShownState.
class SubmissionTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        ProfileColumn,
        DirectoryColumn,
        StateColumn,
        SentColumn,
        ConfirmationColumn,
        PublishedColumn,
        LinkColumn,
        CheckedColumn,
        NoteColumn,
        ColumnCount,
    };
    enum Role
    {
        SortRole = Qt::UserRole,
        ShownStateRole,
    };

    // `record` may be null (no record could be opened): nothing is editable.
    explicit SubmissionTableModel(SubmissionRecord* record, QObject* parent = nullptr);

    // The rows of each profile named in `profileNames`: every directory of
    // `directories`, in their order, then the entries the record holds for
    // directories the list does not have.
    static std::vector<SubmissionRow> buildRows(const SubmissionRecord* record,
        const ProfileStore& profiles, const std::vector<std::string>& profileNames,
        const std::vector<std::string>& directories);

    void setRows(std::vector<SubmissionRow> rows);
    const SubmissionRow& rowAt(int row) const { return lines[std::size_t(row)]; }
    // The row of a profile and directory; -1 when there is none.
    int rowOf(const std::string& profile, const std::string& directory) const;
    // Reads the entry of a profile and directory again from the record.
    void refreshEntry(const std::string& profile, const std::string& directory);
    // How many rows stand where, for the summary line.
    StateCounts counts() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // The state takes a SubmissionState as an int; the published address
    // and the note take text, the address without blanks around it.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // What the link column says for a check: the result, and for a page
    // that could not be read, why.
    static QString linkText(const LinkCheck& check);

signals:
    // Writing an edit to the record failed; `reason` says why.
    void writeFailed(const QString& reason);

private:
    QVariant displayData(const SubmissionRow& row, int column) const;
    QVariant sortData(const SubmissionRow& row, int column) const;

    SubmissionRecord* record;
    std::vector<SubmissionRow> lines;
};
