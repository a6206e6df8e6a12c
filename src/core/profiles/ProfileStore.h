#pragma once

#include "core/profiles/Profile.h"

#include <string>
#include <utility>
#include <vector>

// The ordered list of all profiles. The list keeps the order in which
// profiles were created or loaded; names need not be unique, and every
// look-up takes the first profile whose name matches exactly.
class ProfileStore
{
public:
    // Copies the first profile called `name` into `profile`; false, with
    // `profile` untouched, when there is none.
    bool FindProfile(const std::string& name, Profile& profile) const;
    // The names in list order, duplicates included.
    void GetProfileNames(std::vector<std::string>& names) const;
    // Whether any profile called `profileName` was sent to the directory.
    bool IsSent(const std::string& profileName, const std::string& directoryName) const;
    // Records the directory as sent for the first profile of that name.
    bool MarkSent(const std::string& profileName, const std::string& directoryName);

    const std::vector<Profile>& Profiles() const { return profiles; }
    // Replaces the whole list.
    void SetProfiles(std::vector<Profile> list) { profiles = std::move(list); }
    // Appends a profile at the end of the list.
    void AddProfile(Profile profile) { profiles.push_back(std::move(profile)); }
    // The position of the first profile called `name`; -1 when there is none.
    int IndexOf(const std::string& name) const;
    // Gives the profile at `index` the eleven text fields of `fields`; its
    // sent directories stay as they are.
    void SetProfileFields(int index, const Profile& fields);
    // Erases the profile at `index` with its sent marks; the profiles after
    // it keep their order.
    void RemoveProfile(int index);

private:
    std::vector<Profile> profiles;
};

// The profile to select after the state file was read: the one the first
// line names, else the earliest in list order; none when the first line is
// empty or the list is. Returns whether `current` was set.
bool SelectSavedProfile(const ProfileStore& store, const std::string& savedName, Profile& current);

// The profile to select after the profiles were managed: the current one
// while a profile of its name is left, else the earliest in list order, else
// none. Returns whether a profile is selected; `current` changes only when
// another profile takes its place.
bool ReselectProfile(const ProfileStore& store, bool hasCurrent, Profile& current);
