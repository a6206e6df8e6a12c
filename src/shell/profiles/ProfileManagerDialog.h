#pragma once

#include <QDialog>

#include <memory>
#include <string>

namespace Ui {
class ProfileManagerDialog;
}
class ProfileStore;
class Result;
class SubmissionRecord;
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

    // The submission record, which keeps each profile's values beside sv.dat
    // and its submissions: it follows a profile renamed or removed, while no
    // other profile keeps the old name. None (the default) leaves it alone.
    void setRecord(SubmissionRecord* record) { this->record = record; }

    // Each button acts on the profile of the selected entry.
    void addProfile();
    void editProfile();
    void removeProfile();

private:
    // The profile names, sorted, none selected.
    void fillList();
    // The selected list entry and the position of its profile; null when no
    // entry is selected.
    QListWidgetItem* selectedEntry(int& index) const;
    // Tells the user once when the record could not be written.
    void noteRecordResult(const Result& result);

    std::unique_ptr<Ui::ProfileManagerDialog> ui;
    ProfileStore& store;
    SubmissionRecord* record = nullptr;
    bool recordFailureShown = false;
};
