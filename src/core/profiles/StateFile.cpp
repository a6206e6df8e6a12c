#include "core/profiles/StateFile.h"

#include "core/common/AtomicFile.h"
#include "core/common/Text.h"
#include "core/profiles/ProfileStore.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fstream>
#include <istream>
#include <iterator>
#include <ostream>
#include <sstream>
#include <utility>
#include <vector>

namespace {

// The state file holds passwords, and so does a copy of it.
constexpr unsigned stateFilePermissions = 0600;

// Copies of damaged files are numbered up to this; the search for a free
// name has to end somewhere.
constexpr int largestCopyNumber = 999;

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
bool ReadProfileBlock(std::istream& in, Profile& profile)
{
    for (const ProfileField& field : profileFields) {
        if (!ReadStateLine(in, profile.*field.member))
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
        // The file lists them in order, as they were written: each goes in
        // at the end without a search.
        profile.sentDirectories.insert(profile.sentDirectories.end(), line);
    }

    for (const ProfileField& field : profileFields) {
        if (field.multiLine)
            profile.*field.member = DecodeLineBreaks(std::move(profile.*field.member));
    }
    return true;
}

void WriteProfileBlock(std::ostream& out, const Profile& profile)
{
    for (const ProfileField& field : profileFields) {
        if (field.multiLine)
            WriteStateLine(out, EncodeLineBreaks(profile.*field.member));
        else
            WriteStateLine(out, profile.*field.member);
    }
    WriteStateLine(out, std::to_string(profile.sentDirectories.size()));
    for (const std::string& directory : profile.sentDirectories)
        WriteStateLine(out, directory);
}

} // namespace

bool ReadStateLine(std::istream& in, std::string& line)
{
    // getline fails only when it takes no byte at all: a last line that
    // ends at the end of the file is a line like any other.
    if (!std::getline(in, line))
        return false;
    // A CR at the very end of the file is followed by no LF, so it stays in
    // the value like any other lone CR.
    if (!line.empty() && line.back() == '\r' && !in.eof())
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

bool LoadProfiles(std::istream& in, ProfileStore& store, bool* complete)
{
    if (complete)
        *complete = false;
    if (!in)
        return false;

    std::vector<Profile> profiles;
    std::string line;
    if (ReadStateLine(in, line)) {
        std::int32_t count = ParseLeadingInt(line);
        for (; count > 0; --count) {
            Profile profile;
            if (!ReadProfileBlock(in, profile))
                break;
            profiles.push_back(std::move(profile));
        }
        if (complete)
            *complete = count <= 0;
    }
    store.SetProfiles(std::move(profiles));
    return true;
}

bool SaveProfiles(std::ostream& out, const ProfileStore& store)
{
    WriteStateLine(out, std::to_string(store.Profiles().size()));
    for (const Profile& profile : store.Profiles())
        WriteProfileBlock(out, profile);
    return bool(out);
}

std::string StateReadResult::Description() const
{
    std::string text;
    switch (status) {
    case Status::Whole:
        break;
    case Status::Truncated:
        text = "the file ends before all the profiles it announces are complete";
        break;
    case Status::TrailingData:
        text = "more follows in the file after its last profile";
        break;
    }
    if (converted) {
        if (!text.empty())
            text += "; ";
        text += "it was not written in UTF-8 and was read as windows-1252";
    }
    return text;
}

namespace {

// Everything `in` has left, read in one go.
std::string ReadAll(std::istream& in)
{
    std::ostringstream bytes(std::ios::binary);
    bytes << in.rdbuf();
    return std::move(bytes).str();
}

StateReadResult ReadStateBytes(std::string bytes, ProfileStore& store)
{
    StateReadResult result;
    if (!IsValidUtf8(bytes)) {
        bytes = Windows1252ToUtf8(bytes);
        result.converted = true;
    }

    std::istringstream text(std::move(bytes), std::ios::binary);
    const bool empty = !ReadStateLine(text, result.selectedName);
    bool complete = false;
    LoadProfiles(text, store, &complete);
    if (empty)
        return result;
    if (!complete)
        result.status = StateReadResult::Status::Truncated;
    else if (text.peek() != std::char_traits<char>::eof())
        result.status = StateReadResult::Status::TrailingData;
    return result;
}

} // namespace

StateReadResult ReadState(std::istream& in, ProfileStore& store)
{
    return ReadStateBytes(ReadAll(in), store);
}

void WriteState(std::ostream& out, const ProfileStore& store, const std::string* selectedName)
{
    WriteStateLine(out, selectedName ? *selectedName : std::string());
    SaveProfiles(out, store);
}

std::string StateFileBytes(const ProfileStore& store, const std::string* selectedName)
{
    std::ostringstream out(std::ios::binary);
    WriteState(out, store, selectedName);
    return std::move(out).str();
}

std::optional<Message> SaveStateFile(
    const std::string& path, const ProfileStore& store, const std::string* selectedName)
{
    const Result saved =
        WriteFileAtomically(path, StateFileBytes(store, selectedName), stateFilePermissions);
    if (saved)
        return std::nullopt;
    return Message {"Your profiles could not be saved to " + path +
            ". The file was left as it was.\n\n" + saved.Reason(),
        "Error", MessageIcon::Error};
}

Result KeepStateFileCopy(const std::string& path, std::string_view bytes, std::string& copyPath)
{
    const std::string base = path + ".damaged";
    for (int number = 0; number <= largestCopyNumber; ++number) {
        const std::string copy = number == 0 ? base : base + "." + std::to_string(number);
        Result written = WriteNewFile(copy, bytes, stateFilePermissions);
        if (written)
            copyPath = copy;
        if (written.ErrorNumber() != EEXIST)
            return written;
    }
    return Result::Failure("every name from " + base + " to " + base + "." +
        std::to_string(largestCopyNumber) + " is taken");
}

StateFileLoad LoadStateFile(
    const std::string& path, ProfileStore& store, const std::string& caption)
{
    StateFileLoad load;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return load;
    load.opened = true;
    const std::string bytes = ReadAll(file);
    load.read = ReadStateBytes(bytes, store);
    if (!load.read.KeepOriginal())
        return load;

    std::string text;
    if (load.read.Whole())
        text = path + " was converted to UTF-8 as it was read: " + load.read.Description() + ".";
    else
        text = "Not all of " + path + " could be read: " + load.read.Description() +
            ". The profiles that could be read whole are loaded.";
    std::string copy;
    const Result kept = KeepStateFileCopy(path, bytes, copy);
    if (kept)
        text += "\n\nThe original file was kept as " + copy + ".";
    else
        text += "\n\nThe original file could not be kept aside (" + kept.Reason() +
            "); it will be written over when your profiles are saved.";
    load.notice = Message {text, caption, MessageIcon::Exclamation};
    return load;
}
