#pragma once

#include <QDialog>

#include <memory>
#include <string>

namespace Ui {
class ProfileManagerDialog;
}
class ProfileStore;
class QListWidgetItem;

// The profile manager: the dialog in which the profiles of a store are
// added, edited and removed. Every change goes straight into the store;
// there is no undo, and closing the dialog either way keeps what was done.
class ProfileManagerDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ProfileManagerDialog(ProfileStore& store, QWidget* parent = nullptr);
    ~ProfileManagerDialog() override;

    // Each button acts on the profile of the selected entry.
    void addProfile();
    void editProfile();
    void removeProfile();

signals:
    // A profile was given another name; the store holds the new one. Names
    // go as the store keeps them: they need not be UTF-8.
    void profileRenamed(const std::string& from, const std::string& to);
    // A profile was removed from the store.
    void profileRemoved(const std::string& name);

private:
    // The profile names, sorted, none selected.
    void fillList();
    // The selected list entry and the position of its profile; null when no
    // entry is selected.
    QListWidgetItem* selectedEntry(int& index) const;

    std::unique_ptr<Ui::ProfileManagerDialog> ui;
    ProfileStore& store;
};
