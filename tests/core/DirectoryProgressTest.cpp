#include "directorydb/DirectoryProgress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Action = NextDirectory::Action;

TEST(DirectoryProgressTest, NextDirectoryNotSent)
{
    const std::vector<bool> someSent = {true, false, true, false, true};
    const struct
    {
        const char* what;
        bool hasProfile;
        std::vector<bool> sent;
        int selected;
        NextDirectory next;
    } rows[] = {
        {"nothing selected starts at the top", true, someSent, -1, {Action::Choose, 1}},
        {"the entry after the selection", true, someSent, 1, {Action::Choose, 3}},
        {"a sent selection is passed by", true, someSent, 2, {Action::Choose, 3}},
        {"wraps round to the top", true, someSent, 3, {Action::Choose, 1}},
        {"from the last entry to the top", true, someSent, 4, {Action::Choose, 1}},
        {"the selection itself comes last", true, {true, false, true}, 1, {Action::Choose, 1}},
        {"the first entry, nothing sent", true, {false, false}, -1, {Action::Choose, 0}},
        // After an update the list may be shorter than the row remembered.
        {"a selection past the end", true, someSent, 9, {Action::Choose, 1}},
        {"a selection past the end, first free", true, {false, true}, 2, {Action::Choose, 0}},
        {"all sent", true, {true, true, true}, 1, {Action::AllSent, -1}},
        {"all sent, nothing selected", true, {true}, -1, {Action::AllSent, -1}},
        {"an empty list", true, {}, -1, {Action::AllSent, -1}},
        {"no profile", false, {false, false}, 0, {Action::NoProfile, -1}},
        {"no profile, empty list", false, {}, -1, {Action::NoProfile, -1}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const NextDirectory next = FindNextDirectory(row.hasProfile, row.sent, row.selected);
        EXPECT_EQ(int(next.action), int(row.next.action));
        EXPECT_EQ(next.row, row.next.row);
    }
}

TEST(DirectoryProgressTest, StatusTexts)
{
    std::vector<bool> fiftySeven(57, false);
    for (int row = 0; row < 12; ++row)
        fiftySeven[std::size_t(row * 4)] = true;
    EXPECT_EQ(ProgressText(true, fiftySeven), "Sent to 12 of 57 directories");
    EXPECT_EQ(ProgressText(true, {}), "Sent to 0 of 0 directories");
    EXPECT_EQ(ProgressText(true, {true, true}), "Sent to 2 of 2 directories");
    EXPECT_EQ(ProgressText(false, {true, false}), "");

    const std::vector<std::string> names = {
        "Open Article Library", "Harbor Article Directory", "Bizwrite Library", "Inkwell Articles"};
    const auto nameAt = [&](int row) { return names.at(std::size_t(row)); };
    const struct
    {
        std::vector<bool> sent;
        int sentRow;
        const char* text;
    } rows[] = {
        {{true, false, false, false}, 0, "Sent. Next: Harbor Article Directory (Ctrl+N)"},
        {{true, true, false, true}, 1, "Sent. Next: Bizwrite Library (Ctrl+N)"},
        {{false, true, true, true}, 3, "Sent. Next: Open Article Library (Ctrl+N)"},
        // The sent directory is no longer in the list.
        {{true, true, false, true}, -1, "Sent. Next: Bizwrite Library (Ctrl+N)"},
        {{true, true, true, true}, 2, "All 4 directories are sent for this profile"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(SentText(row.sent, row.sentRow, nameAt), row.text);
    EXPECT_EQ(AllSentText(57), "All 57 directories are sent for this profile");
}

} // namespace
