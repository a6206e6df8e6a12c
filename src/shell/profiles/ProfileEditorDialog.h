#pragma once

#include "core/profiles/Profile.h"
#include "core/profiles/ProfileExtras.h"

#include <QDialog>

#include <memory>

namespace Ui {
class ProfileEditorDialog;
}

// The profile editor: one profile's eleven values in and out, and the three
// kept beside them (byline, summary, tags). It checks nothing; OK hands back
// what was typed, Cancel nothing.
class ProfileEditorDialog : public QDialog
{
    Q_OBJECT

public:
    // Shows the eleven values of `profile`; its sent marks are not edited.
    explicit ProfileEditorDialog(const Profile& profile = {}, QWidget* parent = nullptr);
    ~ProfileEditorDialog() override;

    // The values as the controls hold them, as a profile without sent marks.
    Profile values() const;

    // The values kept beside the profile: shown, and as the controls hold
    // them.
    void setExtras(const ProfileExtras& extras);
    ProfileExtras extras() const;

private:
    std::unique_ptr<Ui::ProfileEditorDialog> ui;
};
