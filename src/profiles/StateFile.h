#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

class ProfileStore;
struct Profile;

// The state file "sv.dat": the selected profile's name on the first line,
// then the profiles. Lines end in CR LF on every platform.

// Reads one line: bytes up to the next LF, without the LF and a CR right
// before it. False at the end of the stream, and for text that the end of
// the stream cuts off before its line end.
bool ReadStateLine(std::istream& in, std::string& line);
// Writes `text` and the line end. A LF inside `text` is written as a blank,
// so no value can spill into the next line.
void WriteStateLine(std::ostream& out, std::string_view text);

// Reads a whole state file into `store` and returns its first line, the
// name of the profile that was selected ("" for none).
std::string ReadState(std::istream& in, ProfileStore& store);
// Writes a whole state file. `selectedName` is null when no profile is
// selected, which leaves the first line empty.
void WriteState(std::ostream& out, const ProfileStore& store, const std::string* selectedName);
std::string StateFileBytes(const ProfileStore& store, const std::string* selectedName);

// The profile to select after the state file was read: the one the first
// line names, else the earliest in list order; none when the first line is
// empty or the list is. Returns whether `current` was set.
bool SelectSavedProfile(const ProfileStore& store, const std::string& savedName, Profile& current);

// The profile to select after the profiles were managed: the current one
// while a profile of its name is left, else the earliest in list order, else
// none. Returns whether a profile is selected; `current` changes only when
// another profile takes its place.
bool ReselectProfile(const ProfileStore& store, bool hasCurrent, Profile& current);
