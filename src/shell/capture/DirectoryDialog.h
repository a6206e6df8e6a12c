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
    DirectoryDraft draft() const;

    QLineEdit* nameEdit() const { return m_nameEdit; }
    QLineEdit* addressEdit() const { return m_addressEdit; }
    QLineEdit* confirmationEdit() const { return m_confirmationEdit; }
    QTableWidget* fieldTable() const { return m_fieldTable; }
    // The value chooser of a row of the field table.
    QComboBox* valueBox(int row) const;
    QPushButton* saveButton() const { return m_saveButton; }
    // Null unless a saved directory is edited.
    QPushButton* removeButton() const { return m_removeButton; }

public slots:
    void accept() override;

private:
    void fillFieldTable();
    void askToRemove();

    DirectoryDraft proposed;
    SaveFunction save;
    QLineEdit* m_nameEdit = nullptr;
    QLineEdit* m_addressEdit = nullptr;
    QLineEdit* m_confirmationEdit = nullptr;
    QTableWidget* m_fieldTable = nullptr;
    QPushButton* m_saveButton = nullptr;
    QPushButton* m_removeButton = nullptr;
};
