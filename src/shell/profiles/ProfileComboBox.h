#pragma once

#include "core/profiles/Profile.h"

#include <QComboBox>

#include <vector>

// The main window's choice of profile: the names sorted, ignoring case,
// each entry carrying its profile's position in the store, so that an entry
// leads to its own profile whatever its text shows.
class ProfileComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit ProfileComboBox(QWidget* parent = nullptr);

    // Shows the names of `profiles` with the profile at `selected` chosen
    // (-1: none), without raising a change.
    void fill(const std::vector<Profile>& profiles, int selected);
    // The position of the chosen entry's profile; -1 when none is chosen.
    int selectedPosition() const;
};
