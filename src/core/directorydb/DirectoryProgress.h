#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// Where the current profile stands in the directory list, and which entry
// comes next. `sent` holds one flag a list entry, in list order: whether
// that entry's directory is sent for the profile.

// What the "Next Directory Not Sent" command does.
struct NextDirectory
{
    enum class Action
    {
        NoProfile, // as choosing a directory does without a profile
        AllSent, // nothing to choose
        Choose, // choose the entry at `row`
    };
    Action action = Action::NoProfile;
    int row = -1;
};

// The first entry after `selected` that is not sent, wrapping round to the
// top, so that the selected entry itself comes last. With no entry selected
// (-1), or with a row the list no longer has, the search starts at the top.
NextDirectory FindNextDirectory(bool hasProfile, const std::vector<bool>& sent, int selected);

// "Sent to 12 of 57 directories"; empty without a profile.
std::string ProgressText(bool hasProfile, const std::vector<bool>& sent);

// What the status line says once the directory at `sentRow` is confirmed:
// "Sent. Next: <name> (Ctrl+N)" for the entry the next command would
// choose, or, when none is left, "All 57 directories are sent for this
// profile". `nameAt` gives an entry's directory name.
std::string SentText(
    const std::vector<bool>& sent, int sentRow, const std::function<std::string(int)>& nameAt);

// "All 57 directories are sent for this profile".
std::string AllSentText(std::size_t directories);

// "Sent. Next: Harbor Article Directory (Ctrl+N)".
std::string SentNextText(const std::string& nextName);
