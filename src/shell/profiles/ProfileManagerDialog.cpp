#include "shell/profiles/ProfileManagerDialog.h"

#include "shell/profiles/ProfileEditorDialog.h"
#include "shell/profiles/SortedWidgets.h"
#include "ui_ProfileManagerDialog.h"

ProfileManagerDialog::ProfileManagerDialog(QWidget* parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::ProfileManagerDialog>())
{
    ui->setupUi(this);
    SelectWithKeys(ui->profileList);
    connect(ui->addButton, &QPushButton::clicked, this, &ProfileManagerDialog::OnAdd);
    connect(ui->editButton, &QPushButton::clicked, this, &ProfileManagerDialog::OnEdit);
    connect(ui->removeButton, &QPushButton::clicked, this, &ProfileManagerDialog::OnRemove);
    connect(ui->closeButton, &QPushButton::clicked, this, &QDialog::accept);
}

ProfileManagerDialog::~ProfileManagerDialog() = default;

QListWidget* ProfileManagerDialog::ProfileList() const
{
    return ui->profileList;
}

int ProfileManagerDialog::DoModal()
{
    OnInitDialog();
    return exec();
}

void ProfileManagerDialog::OnInitDialog()
{
    ui->profileList->clear();
    for (std::size_t position = 0; position < Profiles().size(); ++position)
        AddSorted(
            ui->profileList, QString::fromStdString(Profiles()[position].name), int(position));
    ui->profileList->setCurrentRow(-1);
    ui->closeButton->setFocus();
}

void ProfileManagerDialog::OnAdd()
{
    ProfileEditorDialog editor(this);
    if (editor.DoModal() != QDialog::Accepted)
        return;
    AddProfile(editor.Values());
    AddSorted(
        ui->profileList, QString::fromStdString(editor.Values().name), int(Profiles().size() - 1));
}

QListWidgetItem* ProfileManagerDialog::SelectedEntry(int& index) const
{
    QListWidgetItem* entry = ui->profileList->currentItem();
    if (!entry || !entry->isSelected())
        return nullptr;
    // By the position the entry carries: its text may not name its profile
    // alone (equal names), or not exactly (text that is not UTF-8).
    const QVariant position = entry->data(Qt::UserRole);
    if (!position.isValid() || position.toUInt() >= Profiles().size())
        return nullptr;
    index = position.toInt();
    return entry;
}

void ProfileManagerDialog::OnEdit()
{
    int index;
    QListWidgetItem* entry = SelectedEntry(index);
    if (!entry)
        return;

    ProfileEditorDialog editor(this);
    editor.SetValues(Profiles()[std::size_t(index)]);
    if (editor.DoModal() != QDialog::Accepted)
        return;
    const bool renamed = editor.Values().name != Profiles()[std::size_t(index)].name;
    SetProfileFields(index, editor.Values());
    if (renamed) {
        delete ui->profileList->takeItem(ui->profileList->row(entry));
        ui->profileList->setCurrentItem(nullptr);
        AddSorted(ui->profileList, QString::fromStdString(editor.Values().name), index);
    }
}

void ProfileManagerDialog::OnRemove()
{
    int index;
    QListWidgetItem* entry = SelectedEntry(index);
    if (!entry)
        return;
    delete ui->profileList->takeItem(ui->profileList->row(entry));
    ui->profileList->setCurrentItem(nullptr);
    RemoveProfile(index);
    // The profiles after it moved up one place.
    for (int row = 0; row < ui->profileList->count(); ++row) {
        QListWidgetItem* item = ui->profileList->item(row);
        const int position = item->data(Qt::UserRole).toInt();
        if (position > index)
            item->setData(Qt::UserRole, position - 1);
    }
}
