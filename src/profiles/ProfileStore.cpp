#include "profiles/ProfileStore.h"

#include "common/Text.h"
#include "profiles/StateFile.h"

#include <algorithm>
#include <istream>
#include <ostream>

namespace {

// Multi-line fields are stored on one line, each line break as this byte.
constexpr char lineBreakMarker = '\x01';

std::string EncodeLineBreaks(std::string text)
{
    ReplaceAll(text, "\r\n", "\n");
    std::replace(text.begin(), text.end(), '\n', lineBreakMarker);
    return text;
}

std::string DecodeLineBreaks(std::string text)
{
    ReplaceAll(text, std::string_view(&lineBreakMarker, 1), "\r\n");
    return text;
}

// Reads one profile block. False when the stream ends before the block does.
bool ReadProfile(std::istream& in, Profile& profile)
{
    std::string* const fields[] = {&profile.name, &profile.url, &profile.articleTitle,
        &profile.articleContent, &profile.category, &profile.subcategory, &profile.authorInfo,
        &profile.email, &profile.firstName, &profile.lastName, &profile.password};
    for (std::string* field : fields) {
        if (!ReadStateLine(in, *field))
            return false;
    }

    std::string line;
    if (!ReadStateLine(in, line))
        return false;
    // No allocation depends on the count: a count the file cannot back ends
    // at the end of the stream.
    for (std::int32_t count = ParseLeadingInt(line); count > 0; --count) {
        if (!ReadStateLine(in, line))
            return false;
        profile.sentDirectories.insert(line);
    }

    profile.articleContent = DecodeLineBreaks(std::move(profile.articleContent));
    profile.authorInfo = DecodeLineBreaks(std::move(profile.authorInfo));
    return true;
}

} // namespace

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
    std::set<std::string> sent = std::move(profile.sentDirectories);
    profile = fields;
    profile.sentDirectories = std::move(sent);
}

void ProfileStore::RemoveProfile(int index)
{
    profiles.erase(profiles.begin() + index);
}

bool ProfileStore::LoadProfiles(std::istream& in, bool* complete)
{
    if (complete)
        *complete = false;
    if (!in)
        return false;
    profiles.clear();

    std::string line;
    if (!ReadStateLine(in, line))
        return true;
    for (std::int32_t count = ParseLeadingInt(line); count > 0; --count) {
        Profile profile;
        if (!ReadProfile(in, profile))
            return true;
        profiles.push_back(std::move(profile));
    }
    if (complete)
        *complete = true;
    return true;
}

bool ProfileStore::SaveProfiles(std::ostream& out) const
{
    WriteStateLine(out, std::to_string(profiles.size()));
    for (const Profile& profile : profiles) {
        WriteStateLine(out, profile.name);
        WriteStateLine(out, profile.url);
        WriteStateLine(out, profile.articleTitle);
        WriteStateLine(out, EncodeLineBreaks(profile.articleContent));
        WriteStateLine(out, profile.category);
        WriteStateLine(out, profile.subcategory);
        WriteStateLine(out, EncodeLineBreaks(profile.authorInfo));
        WriteStateLine(out, profile.email);
        WriteStateLine(out, profile.firstName);
        WriteStateLine(out, profile.lastName);
        WriteStateLine(out, profile.password);
        WriteStateLine(out, std::to_string(profile.sentDirectories.size()));
        for (const std::string& directory : profile.sentDirectories)
            WriteStateLine(out, directory);
    }
    return bool(out);
}
