#include "profiles/StateFile.h"

#include "profiles/ProfileStore.h"

#include <algorithm>
#include <istream>
#include <ostream>
#include <sstream>

bool ReadStateLine(std::istream& in, std::string& line)
{
    // A line is whole only with its line end: text cut off by the end of
    // the file is a sign of a truncated file, not a value.
    if (!std::getline(in, line) || in.eof())
        return false;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

void WriteStateLine(std::ostream& out, std::string_view text)
{
    // A line end inside a value would split its line and shift every line
    // after it. Single-line values can carry one all the same: a directory
    // name through a character reference in the database, for instance.
    std::string line(text);
    std::replace(line.begin(), line.end(), '\n', ' ');
    line += "\r\n";
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
}

std::string ReadState(std::istream& in, ProfileStore& store)
{
    std::string selectedName;
    if (!ReadStateLine(in, selectedName))
        return {};
    store.LoadProfiles(in);
    return selectedName;
}

void WriteState(std::ostream& out, const ProfileStore& store, const std::string* selectedName)
{
    WriteStateLine(out, selectedName ? *selectedName : std::string());
    store.SaveProfiles(out);
}

std::string StateFileBytes(const ProfileStore& store, const std::string* selectedName)
{
    std::ostringstream out(std::ios::binary);
    WriteState(out, store, selectedName);
    return std::move(out).str();
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
