#include "shell/profiles/ProfileManagerDialog.h"

#include "core/profiles/ProfileStore.h"
#include "core/record/ProfileExtrasRecord.h"
#include "core/record/SubmissionRecord.h"
#include "shell/common/MessageBox.h"
#include "shell/profiles/ProfileEditorDialog.h"
#include "shell/profiles/SortedWidgets.h"
#include "ui_ProfileManagerDialog.h"

ProfileManagerDialog::ProfileManagerDialog(ProfileStore& store, QWidget* parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::ProfileManagerDialog>())
    , store(store)
{
    ui->setupUi(this);
    SelectWithKeys(ui->profileList);
    connect(ui->addButton, &QPushButton::clicked, this, &ProfileManagerDialog::addProfile);
    connect(ui->editButton, &QPushButton::clicked, this, &ProfileManagerDialog::editProfile);
    connect(ui->removeButton, &QPushButton::clicked, this, &ProfileManagerDialog::removeProfile);
    connect(ui->closeButton, &QPushButton::clicked, this, &QDialog::accept);
    fillList();
    ui->closeButton->setFocus();
}

ProfileManagerDialog::~ProfileManagerDialog() = default;

void ProfileManagerDialog::fillList()
{
    QStringList names;
    for (const Profile& profile : store.Profiles())
        names << QString::fromStdString(profile.name);
    FillSorted(ui->profileList, names);
    ui->profileList->setCurrentRow(-1);
}

void ProfileManagerDialog::addProfile()
{
    ProfileEditorDialog editor(Profile(), this);
    if (editor.exec() != QDialog::Accepted)
        return;
    store.AddProfile(editor.values());
    if (record)
        WriteProfileExtras(*record, editor.values().name, editor.extras());
    AddSorted(ui->profileList, QString::fromStdString(editor.values().name),
        int(store.Profiles().size() - 1));
}

QListWidgetItem* ProfileManagerDialog::selectedEntry(int& index) const
{
    QListWidgetItem* entry = ui->profileList->currentItem();
    if (!entry || !entry->isSelected())
        return nullptr;
    // By the position the entry carries: its text may not name its profile
    // alone (equal names), or not exactly (text that is not UTF-8).
    const QVariant position = entry->data(Qt::UserRole);
    if (!position.isValid() || position.toUInt() >= store.Profiles().size())
        return nullptr;
    index = position.toInt();
    return entry;
}

void ProfileManagerDialog::editProfile()
{
    int index;
    QListWidgetItem* entry = selectedEntry(index);
    if (!entry)
        return;

    const std::string oldName = store.Profiles()[std::size_t(index)].name;
    ProfileEditorDialog editor(store.Profiles()[std::size_t(index)], this);
    ProfileExtras extras;
    if (record && ReadProfileExtras(*record, oldName, extras))
        editor.setExtras(extras);
    if (editor.exec() != QDialog::Accepted)
        return;
    const Profile edited = editor.values();
    const bool renamed = edited.name != oldName;
    store.SetProfileFields(index, edited);
    if (renamed) {
        // The record follows the new name first, so that the values below
        // land under it.
        if (record && store.IndexOf(oldName) < 0)
            noteRecordResult(record->RenameProfile(oldName, edited.name));
        delete ui->profileList->takeItem(ui->profileList->row(entry));
        ui->profileList->setCurrentItem(nullptr);
        AddSorted(ui->profileList, QString::fromStdString(edited.name), index);
    }
    if (record)
        noteRecordResult(WriteProfileExtras(*record, edited.name, editor.extras()));
}

void ProfileManagerDialog::removeProfile()
{
    int index;
    QListWidgetItem* entry = selectedEntry(index);
    if (!entry)
        return;
    delete ui->profileList->takeItem(ui->profileList->row(entry));
    ui->profileList->setCurrentItem(nullptr);
    const std::string name = store.Profiles()[std::size_t(index)].name;
    store.RemoveProfile(index);
    if (record && store.IndexOf(name) < 0)
        noteRecordResult(record->RemoveProfile(name));
    // The profiles after it moved up one place.
    for (int row = 0; row < ui->profileList->count(); ++row) {
        QListWidgetItem* item = ui->profileList->item(row);
        const int position = item->data(Qt::UserRole).toInt();
        if (position > index)
            item->setData(Qt::UserRole, position - 1);
    }
}

void ProfileManagerDialog::noteRecordResult(const Result& result)
{
    if (result || recordFailureShown)
        return;
    recordFailureShown = true;
    ShowMessageBox(this, RecordWriteFailureMessage(result, ApplicationName().toStdString()));
}
