#pragma once

#include <QAbstractListModel>

#include <string>
#include <unordered_map>
#include <vector>

class ProfileStore;

// The directories of the list, in the database's order, with whether each
// was sent for the current profile. An entry shows its name followed by
// " [sent]" or " [not sent]" while a profile is chosen, its name alone
// otherwise; the name and the flag are data of their own (NameRole,
// SentRole), never read back from the text shown.
class DirectoryListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role
    {
        NameRole = Qt::UserRole,
        SentRole,
    };

    explicit DirectoryListModel(QObject* parent = nullptr);

    // Replaces the directories; none is sent until setProfile() says so.
    void setDirectories(std::vector<std::string> names);
    // Marks the directories sent for every profile of `store` named
    // `profileName`; with no profile (null), entries show their names alone.
    void setProfile(const ProfileStore& store, const std::string* profileName);
    // Marks the entry at `row` sent.
    void markSent(int row);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    const std::string& nameAt(int row) const { return names[std::size_t(row)]; }
    // The row of the directory `name`: `hint` while it still names that
    // directory, else the first of that name; -1 when there is none.
    int rowOf(const std::string& name, int hint = -1) const;
    // One flag an entry, in list order; all false without a profile.
    const std::vector<bool>& sentFlags() const { return sent; }
    bool hasProfile() const { return profileChosen; }

private:
    std::vector<std::string> names;
    std::vector<bool> sent;
    // The first row of each name, so that a profile's sent marks find their
    // entries without a walk through the list.
    std::unordered_map<std::string, int> firstRow;
    bool profileChosen = false;
};
