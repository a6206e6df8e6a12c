#include "core/profiles/ProfileStore.h"

#include <algorithm>

bool ProfileStore::FindProfile(const std::string& name, Profile& profile) const
{
    const auto found = std::find_if(
        profiles.begin(), profiles.end(), [&](const Profile& p) { return p.name == name; });
    if (found == profiles.end())
        return false;
    profile = *found;
    return true;
}

void ProfileStore::GetProfileNames(std::vector<std::string>& names) const
{
    names.clear();
    for (const Profile& profile : profiles)
        names.push_back(profile.name);
}

bool ProfileStore::IsSent(const std::string& profileName, const std::string& directoryName) const
{
    return std::any_of(profiles.begin(), profiles.end(), [&](const Profile& p) {
        return p.name == profileName && p.sentDirectories.count(directoryName) != 0;
    });
}

bool ProfileStore::MarkSent(const std::string& profileName, const std::string& directoryName)
{
    const auto found = std::find_if(
        profiles.begin(), profiles.end(), [&](const Profile& p) { return p.name == profileName; });
    if (found == profiles.end())
        return false;
    found->sentDirectories.insert(directoryName);
    return true;
}

int ProfileStore::IndexOf(const std::string& name) const
{
    const auto found = std::find_if(
        profiles.begin(), profiles.end(), [&](const Profile& p) { return p.name == name; });
    return found == profiles.end() ? -1 : int(found - profiles.begin());
}

void ProfileStore::SetProfileFields(int index, const Profile& fields)
{
    Profile& profile = profiles.at(std::size_t(index));
    for (const ProfileField& field : profileFields)
        profile.*field.member = fields.*field.member;
}

void ProfileStore::RemoveProfile(int index)
{
    profiles.erase(profiles.begin() + index);
}

bool SelectSavedProfile(const ProfileStore& store, const std::string& savedName, Profile& current)
{
    if (savedName.empty())
        return false;
    if (store.FindProfile(savedName, current))
        return true;
    if (store.Profiles().empty())
        return false;
    current = store.Profiles().front();
    return true;
}

bool ReselectProfile(const ProfileStore& store, bool hasCurrent, Profile& current)
{
    if (hasCurrent && store.IndexOf(current.name) >= 0)
        return true;
    if (store.Profiles().empty())
        return false;
    current = store.Profiles().front();
    return true;
}
