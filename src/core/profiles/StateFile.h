#pragma once

#include "core/common/MessageSink.h"
#include "core/common/Result.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

class ProfileStore;

// The state file "sv.dat", byte for byte: the selected profile's name on
// the first line, then the profiles. Lines end in CR LF on every platform.
// The profiles are a line with their count, then one block per profile:
// its eleven text fields, one line each in the order of `profileFields`,
// a line with the count of its sent directories and one line per name. A
// multi-line field keeps its line breaks on its one line, each as the byte
// 0x01.

// Reads one line: bytes up to the next LF, without the LF and a CR right
// before it. The last line of a file may end at the end of the file instead
// of a line end. False only when the stream holds no more bytes.
bool ReadStateLine(std::istream& in, std::string& line);
// Writes `text` and the line end. A LF inside `text` is written as a blank,
// so no value can spill into the next line.
void WriteStateLine(std::ostream& out, std::string_view text);

// Replaces the profiles of `store` with those read from the stream's
// position (the count line) on. Only profiles read whole are kept: a
// damaged or truncated file gives the complete ones before the damage.
// False, with the store unchanged, when the stream is not usable.
// `complete`, when given, tells whether every line the counts promise was
// there.
bool LoadProfiles(std::istream& in, ProfileStore& store, bool* complete = nullptr);
// Writes the count line and every profile block of `store`.
bool SaveProfiles(std::ostream& out, const ProfileStore& store);

// How a state file was read.
struct StateReadResult
{
    enum class Status
    {
        Whole, // every line the counts promise, and nothing after the last block
        Truncated, // the file ends before a line its counts promise
        TrailingData, // bytes follow the last profile block
    };

    Status status = Status::Whole;
    // The file was not UTF-8 and was read as windows-1252.
    bool converted = false;
    // The first line: the name of the profile that was selected, "" for none.
    std::string selectedName;

    // Whether writing the profiles back keeps everything the file held.
    bool Whole() const { return status == Status::Whole; }
    // Whether the file's own bytes should be kept before it is written over:
    // it was not read whole, or not as it stood.
    bool KeepOriginal() const { return !Whole() || converted; }
    // Why the original is worth keeping, for people; "" when it is not.
    std::string Description() const;
};

// Reads a whole state file into `store`, replacing its profiles. A file that
// is not UTF-8 is read as windows-1252. A damaged or truncated file gives
// the profiles read whole before the damage, and says so in the result. An
// empty file is an empty state, read whole.
StateReadResult ReadState(std::istream& in, ProfileStore& store);
// Writes a whole state file. `selectedName` is null when no profile is
// selected, which leaves the first line empty.
void WriteState(std::ostream& out, const ProfileStore& store, const std::string* selectedName);
std::string StateFileBytes(const ProfileStore& store, const std::string* selectedName);

// Writes the whole state file at `path` in one step, readable by its owner
// alone (it holds passwords). On failure the old file stays as it was, and
// the message for the user says where and why.
std::optional<Message> SaveStateFile(
    const std::string& path, const ProfileStore& store, const std::string* selectedName);

// Copies `bytes`, the original content of the state file at `path`, to a new
// file beside it: "<path>.damaged", or the first of "<path>.damaged.1",
// "<path>.damaged.2", ... that does not exist yet, so an earlier copy is
// never written over. On success `copyPath` receives the copy's path; on
// failure it is left alone and the result says why no copy could be made.
Result KeepStateFileCopy(const std::string& path, std::string_view bytes, std::string& copyPath);

// What reading the state file at start-up found.
struct StateFileLoad
{
    // The file could be opened; without it the store was left untouched.
    bool opened = false;
    StateReadResult read;
    // For the user, once: what was kept where, when the file was not read
    // whole or had to be converted. Empty for a clean file.
    std::optional<Message> notice;
};

// Reads the state file at `path` into `store`. When the original is worth
// keeping (StateReadResult::KeepOriginal), its bytes are copied aside with
// KeepStateFileCopy before anything can write over the file, and the notice,
// captioned `caption`, says so.
StateFileLoad LoadStateFile(
    const std::string& path, ProfileStore& store, const std::string& caption);
