#pragma once

#include "core/profiles/Profile.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <string>

namespace Ui {
class ProfileEditorDialog;
}

// The profile editor: one profile's eleven values in and out. It checks
// nothing; OK hands back what was typed, Cancel nothing.
class ProfileEditorDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ProfileEditorDialog(QWidget* parent = nullptr);
    ~ProfileEditorDialog() override;

    // Shows the editor modally: moves the values into the controls, runs
    // the dialog and, on OK, moves them back out. Returns the dialog code.
    int DoModal();

    // Tests answer the editor through this hook instead of a person: it is
    // called with the editor shown and its controls filled, and returns
    // the dialog code.
    using Hook = std::function<int(ProfileEditorDialog&)>;
    static void SetTestHook(Hook hook);

    // The eleven values, as a profile without sent marks, and back. They
    // start empty.
    const Profile& Values() const { return values; }
    void SetValues(const Profile& profile);

    Ui::ProfileEditorDialog* Form() const { return ui.get(); }

private:
    void OnInitDialog();
    void ExchangeIntoControls();
    void ExchangeOutOfControls();

    std::unique_ptr<Ui::ProfileEditorDialog> ui;
    // The text fields only; the sent marks stay empty.
    Profile values;
};
