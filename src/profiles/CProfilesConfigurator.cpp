#include "profiles/CProfilesConfigurator.h"

#include "profiles/CProfileData.h"
#include "profiles/SortedWidgets.h"
#include "ui_CProfilesConfigurator.h"

CProfilesConfigurator::CProfilesConfigurator(QWidget* parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::CProfilesConfigurator>())
{
    ui->setupUi(this);
    SelectWithKeys(ui->profileList);
    connect(ui->addButton, &QPushButton::clicked, this, &CProfilesConfigurator::OnAdd);
    connect(ui->editButton, &QPushButton::clicked, this, &CProfilesConfigurator::OnEdit);
    connect(ui->removeButton, &QPushButton::clicked, this, &CProfilesConfigurator::OnRemove);
    connect(ui->closeButton, &QPushButton::clicked, this, &QDialog::accept);
}

CProfilesConfigurator::~CProfilesConfigurator() = default;

QListWidget* CProfilesConfigurator::ProfileList() const
{
    return ui->profileList;
}

int CProfilesConfigurator::DoModal()
{
    OnInitDialog();
    return exec();
}

void CProfilesConfigurator::OnInitDialog()
{
    ui->profileList->clear();
    for (std::size_t position = 0; position < Profiles().size(); ++position)
        AddSorted(
            ui->profileList, QString::fromStdString(Profiles()[position].name), int(position));
    ui->profileList->setCurrentRow(-1);
    ui->closeButton->setFocus();
}

void CProfilesConfigurator::OnAdd()
{
    CProfileData editor(this);
    if (editor.DoModal() != QDialog::Accepted)
        return;
    AddProfile(editor.Values());
    AddSorted(
        ui->profileList, QString::fromStdString(editor.Values().name), int(Profiles().size() - 1));
}

QListWidgetItem* CProfilesConfigurator::SelectedEntry(int& index) const
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

void CProfilesConfigurator::OnEdit()
{
    int index;
    QListWidgetItem* entry = SelectedEntry(index);
    if (!entry)
        return;

    CProfileData editor(this);
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

void CProfilesConfigurator::OnRemove()
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
