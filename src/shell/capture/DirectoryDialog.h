#pragma once

#include "core/capture/DirectoryDraft.h"
#include "core/common/Result.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;

// The dialog in which the user looks over a directory taken from a page
// before it is saved: its name, its submission page, one row per form field
// with the value to write (a placeholder, a category variable or any text),
// and its confirmation text. Saving goes through `save`; when that fails the
// dialog says why and stays open. A directory opened again for editing can
// also be removed: the dialog then ends with `Removed`.
class DirectoryDialog : public QDialog
{
    Q_OBJECT

public:
    enum Outcome
    {
        Removed = 2
    };
    using SaveFunction = std::function<Result(const DirectoryDraft&)>;

    DirectoryDialog(
        DirectoryDraft draft, bool editing, SaveFunction save, QWidget* parent = nullptr);

    // The directory with the user's changes.
    DirectoryDraft Draft() const;

    QLineEdit* NameEdit() const { return nameEdit; }
    QLineEdit* AddressEdit() const { return addressEdit; }
    QLineEdit* ConfirmationEdit() const { return confirmationEdit; }
    QTableWidget* FieldTable() const { return fieldTable; }
    // The value chooser of a row of the field table.
    QComboBox* ValueBox(int row) const;
    QPushButton* SaveButton() const { return saveButton; }
    // Null unless a saved directory is edited.
    QPushButton* RemoveButton() const { return removeButton; }

public slots:
    void accept() override;

private:
    void FillFieldTable();
    void AskToRemove();

    DirectoryDraft draft;
    SaveFunction save;
    QLineEdit* nameEdit = nullptr;
    QLineEdit* addressEdit = nullptr;
    QLineEdit* confirmationEdit = nullptr;
    QTableWidget* fieldTable = nullptr;
    QPushButton* saveButton = nullptr;
    QPushButton* removeButton = nullptr;
};
