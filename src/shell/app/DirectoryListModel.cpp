#include "shell/app/DirectoryListModel.h"

#include "core/directorydb/DirectoryListEntry.h"
#include "core/profiles/ProfileStore.h"

DirectoryListModel::DirectoryListModel(QObject* parent)
    : QAbstractListModel(parent)
{
}

void DirectoryListModel::setDirectories(std::vector<std::string> list)
{
    beginResetModel();
    names = std::move(list);
    sent.assign(names.size(), false);
    firstRow.clear();
    firstRow.reserve(names.size());
    for (std::size_t row = 0; row < names.size(); ++row)
        firstRow.emplace(names[row], int(row));
    endResetModel();
}

void DirectoryListModel::setProfile(const ProfileStore& store, const std::string* profileName)
{
    profileChosen = profileName != nullptr;
    sent.assign(names.size(), false);
    const bool namesUnique = firstRow.size() == names.size();
    for (const Profile& profile : store.Profiles()) {
        if (!profileChosen || profile.name != *profileName)
            continue;
        if (namesUnique) {
            for (const std::string& directory : profile.sentDirectories) {
                if (const auto found = firstRow.find(directory); found != firstRow.end())
                    sent[std::size_t(found->second)] = true;
            }
        } else {
            // A name the list holds twice is sent in each of its entries.
            for (std::size_t row = 0; row < names.size(); ++row)
                sent[row] = sent[row] || profile.sentDirectories.count(names[row]) != 0;
        }
    }
    if (!names.empty())
        emit dataChanged(index(0), index(int(names.size()) - 1), {Qt::DisplayRole, SentRole});
}

void DirectoryListModel::markSent(int row)
{
    if (row < 0 || std::size_t(row) >= names.size() || sent[std::size_t(row)])
        return;
    sent[std::size_t(row)] = true;
    emit dataChanged(index(row), index(row), {Qt::DisplayRole, SentRole});
}

int DirectoryListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(names.size());
}

QVariant DirectoryListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const std::size_t row = std::size_t(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(DirectoryListEntry(names[row], profileChosen, sent[row]));
    case NameRole:
        return QString::fromStdString(names[row]);
    case SentRole:
        return bool(sent[row]);
    default:
        return {};
    }
}

int DirectoryListModel::rowOf(const std::string& name, int hint) const
{
    if (hint >= 0 && std::size_t(hint) < names.size() && names[std::size_t(hint)] == name)
        return hint;
    const auto found = firstRow.find(name);
    return found == firstRow.end() ? -1 : found->second;
}
