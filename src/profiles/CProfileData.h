#pragma once

#include "profiles/Profile.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <string>

namespace Ui {
class CProfileData;
}

// The profile editor: one profile's eleven values in and out. It checks
// nothing; OK hands back what was typed, Cancel nothing.
class CProfileData : public QDialog
{
    Q_OBJECT

public:
    explicit CProfileData(QWidget* parent = nullptr);
    ~CProfileData() override;

    // Shows the editor modally: moves the values into the controls, runs
    // the dialog and, on OK, moves them back out. Returns the dialog code.
    int DoModal();

    // Tests answer the editor through this hook instead of a person: it is
    // called with the editor shown and its controls filled, and returns
    // the dialog code.
    using Hook = std::function<int(CProfileData&)>;
    static void SetTestHook(Hook hook);

    // The eleven values, as a profile without sent marks, and back. They
    // start empty.
    const Profile& Values() const { return values; }
    void SetValues(const Profile& profile);

    Ui::CProfileData* Form() const { return ui.get(); }

private:
    void OnInitDialog();
    void ExchangeIntoControls();
    void ExchangeOutOfControls();

    std::unique_ptr<Ui::CProfileData> ui;
    // The text fields only; the sent marks stay empty.
    Profile values;
};
