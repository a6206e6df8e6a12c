#include "profiles/StateFile.h"

#include "profiles/ProfileStore.h"

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
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.write("\r\n", 2);
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
