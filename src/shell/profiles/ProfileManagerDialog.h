#pragma once

#include "core/profiles/ProfileStore.h"

#include <QDialog>

#include <memory>

namespace Ui {
class ProfileManagerDialog;
}
class QListWidget;
class QListWidgetItem;

// The profile manager: the dialog in which profiles are added, edited and
// removed, and at the same time the store of all profiles. Every change
// goes straight into the list; there is no undo, and closing the dialog
// either way keeps what was done.
class ProfileManagerDialog : public QDialog, public ProfileStore
{
    Q_OBJECT

public:
    explicit ProfileManagerDialog(QWidget* parent = nullptr);
    ~ProfileManagerDialog() override;

    // Shows the manager modally; its list shows the profiles as they are.
    int DoModal();

    // Each button acts on the profile of the selected entry.
    void OnAdd();
    void OnEdit();
    void OnRemove();

    QListWidget* ProfileList() const;

private:
    void OnInitDialog();
    // The selected list entry and the position of its profile; null when no
    // entry is selected.
    QListWidgetItem* SelectedEntry(int& index) const;

    std::unique_ptr<Ui::ProfileManagerDialog> ui;
};
