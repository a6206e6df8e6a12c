#include "shell/record/SubmissionTableModel.h"

#include "core/profiles/ProfileStore.h"
#include "core/record/RecordCsv.h"
#include "core/record/SubmissionRecord.h"

#include <map>
#include <utility>

namespace {

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

QString TimeText(const std::optional<RecordTime>& time)
{
    return time ? Text(FormatRecordTime(*time)) : QString();
}

qint64 TimeKey(const std::optional<RecordTime>& time)
{
    return time ? qint64(UnixSeconds(*time)) : -1;
}

// When the article went out: the form's sending, else the confirmation.
std::optional<RecordTime> SentTime(const RecordEntry& entry)
{
    return entry.submitted ? entry.submitted : entry.confirmed;
}

} // namespace

SubmissionTableModel::SubmissionTableModel(SubmissionRecord* record, QObject* parent)
    : QAbstractTableModel(parent)
    , record(record)
{
}

std::vector<SubmissionRow> SubmissionTableModel::buildRows(const SubmissionRecord* record,
    const ProfileStore& profiles, const std::vector<std::string>& profileNames,
    const std::vector<std::string>& directories)
{
    std::vector<SubmissionRow> rows;
    rows.reserve(directories.size() * profileNames.size());
    for (const std::string& profile : profileNames) {
        std::vector<RecordEntry> entries;
        if (record)
            record->ReadEntries(profile, entries);
        std::map<std::string, RecordEntry> byDirectory;
        for (RecordEntry& entry : entries)
            byDirectory.emplace(entry.directory, std::move(entry));
        Profile sent;
        profiles.FindProfile(profile, sent);
        for (const std::string& directory : directories) {
            SubmissionRow row;
            const auto found = byDirectory.find(directory);
            if (found != byDirectory.end()) {
                row.entry = std::move(found->second);
                byDirectory.erase(found);
            } else {
                row.entry.profile = profile;
                row.entry.directory = directory;
            }
            row.sentMark = sent.sentDirectories.count(directory) > 0;
            rows.push_back(std::move(row));
        }
        for (auto& [directory, entry] : byDirectory) {
            const bool sentMark = sent.sentDirectories.count(directory) > 0;
            rows.push_back({std::move(entry), sentMark});
        }
    }
    return rows;
}

void SubmissionTableModel::setRows(std::vector<SubmissionRow> rows)
{
    beginResetModel();
    lines = std::move(rows);
    endResetModel();
}

int SubmissionTableModel::rowOf(const std::string& profile, const std::string& directory) const
{
    for (std::size_t row = 0; row < lines.size(); ++row) {
        if (lines[row].entry.profile == profile && lines[row].entry.directory == directory)
            return int(row);
    }
    return -1;
}

void SubmissionTableModel::refreshEntry(const std::string& profile, const std::string& directory)
{
    const int row = rowOf(profile, directory);
    std::optional<RecordEntry> entry;
    if (row < 0 || !record || !record->ReadEntry(profile, directory, entry) || !entry)
        return;
    lines[std::size_t(row)].entry = std::move(*entry);
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

StateCounts SubmissionTableModel::counts() const
{
    StateCounts counts;
    for (const SubmissionRow& row : lines)
        counts.Add(row.shown());
    return counts;
}

int SubmissionTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(lines.size());
}

int SubmissionTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString SubmissionTableModel::linkText(const LinkCheck& check)
{
    const QString result = Text(std::string(LinkResultText(check.result)));
    if (check.result == LinkResult::Unreachable)
        return result + QStringLiteral(": ") + Text(check.detail);
    return check.detail.empty() ? result
                                : result + QStringLiteral(" (") + Text(check.detail) + u')';
}

QVariant SubmissionTableModel::displayData(const SubmissionRow& row, int column) const
{
    const RecordEntry& entry = row.entry;
    switch (column) {
    case ProfileColumn:
        return Text(entry.profile);
    case DirectoryColumn:
        return Text(entry.directory);
    case StateColumn:
        return Text(std::string(ShownStateText(row.shown())));
    case SentColumn:
        return TimeText(SentTime(entry));
    case ConfirmationColumn:
        return Text(entry.confirmationAddress);
    case PublishedColumn:
        return Text(entry.publishedAddress);
    case LinkColumn:
        return entry.lastLinkCheck ? linkText(*entry.lastLinkCheck) : QString();
    case CheckedColumn:
        return entry.lastLinkCheck ? TimeText(entry.lastLinkCheck->time) : QString();
    case NoteColumn:
        return Text(entry.note);
    }
    return {};
}

QVariant SubmissionTableModel::sortData(const SubmissionRow& row, int column) const
{
    switch (column) {
    case StateColumn:
        return int(row.shown());
    case SentColumn:
        return TimeKey(SentTime(row.entry));
    case CheckedColumn:
        return TimeKey(
            row.entry.lastLinkCheck ? std::optional(row.entry.lastLinkCheck->time) : std::nullopt);
    default:
        return displayData(row, column);
    }
}

QVariant SubmissionTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const SubmissionRow& row = lines[std::size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return displayData(row, index.column());
    case Qt::EditRole:
        return index.column() == StateColumn ? QVariant(int(row.entry.state))
                                             : displayData(row, index.column());
    case Qt::ToolTipRole:
        return index.column() == LinkColumn || index.column() == ConfirmationColumn ||
                index.column() == PublishedColumn
            ? displayData(row, index.column())
            : QVariant();
    case SortRole:
        return sortData(row, index.column());
    case ShownStateRole:
        return int(row.shown());
    }
    return {};
}

QVariant SubmissionTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case ProfileColumn:
        return tr("Profile");
    case DirectoryColumn:
        return tr("Directory");
    case StateColumn:
        return tr("State");
    case SentColumn:
        return tr("Sent");
    case ConfirmationColumn:
        return tr("Confirmation page");
    case PublishedColumn:
        return tr("Published address");
    case LinkColumn:
        return tr("Link");
    case CheckedColumn:
        return tr("Last checked");
    case NoteColumn:
        return tr("Note");
    }
    return {};
}

Qt::ItemFlags SubmissionTableModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (!record || !index.isValid())
        return flags;
    const bool editable = index.column() == PublishedColumn || index.column() == NoteColumn ||
        // What became of an article counts only once sv.dat says it went out.
        (index.column() == StateColumn && lines[std::size_t(index.row())].sentMark);
    return editable ? flags | Qt::ItemIsEditable : flags;
}

bool SubmissionTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!record || !index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    RecordEntry& entry = lines[std::size_t(index.row())].entry;
    Result written;
    switch (index.column()) {
    case StateColumn: {
        const int code = value.toInt();
        if (code < int(SubmissionState::NotSent) || code > int(SubmissionState::Rejected))
            return false;
        written = record->SetState(entry.profile, entry.directory, SubmissionState(code));
        if (written)
            entry.state = SubmissionState(code);
        break;
    }
    case PublishedColumn: {
        const std::string address = value.toString().trimmed().toStdString();
        written = record->SetPublishedAddress(entry.profile, entry.directory, address);
        if (written)
            entry.publishedAddress = address;
        break;
    }
    case NoteColumn: {
        const std::string note = value.toString().toStdString();
        written = record->SetNote(entry.profile, entry.directory, note);
        if (written)
            entry.note = note;
        break;
    }
    }
    if (!written) {
        emit writeFailed(Text(written.Reason()));
        return false;
    }
    emit dataChanged(index.siblingAtColumn(0), index.siblingAtColumn(ColumnCount - 1));
    return true;
}
