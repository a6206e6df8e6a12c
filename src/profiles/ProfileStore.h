#pragma once

#include "profiles/Profile.h"

#include <iosfwd>
#include <string>
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

    // Replaces the list with the profiles of a state file, read from the
    // stream's position (the count line) on. Only profiles read whole are
    // kept: a damaged or truncated file gives the complete ones before the
    // damage. False, with the list unchanged, when the stream is not usable.
    // `complete`, when given, tells whether every line the counts promise
    // was there.
    bool LoadProfiles(std::istream& in, bool* complete = nullptr);
    // Writes the count line and every profile block.
    bool SaveProfiles(std::ostream& out) const;

    const std::vector<Profile>& Profiles() const { return profiles; }
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
