#include "core/directorydb/DirectoryProgress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Action = NextDirectory::Action;

TEST(DirectoryProgressTest, NextDirectoryNotSent)
{
    const std::vector<bool> some = {true, false, true, false, true};
    const struct
    {
        bool hasProfile;
        std::vector<bool> sent;
        int selected;
        Action action;
        int row;
    } rows[] = {
        {true, some, -1, Action::Choose, 1}, // nothing selected: from the top
        {true, some, 1, Action::Choose, 3},
        {true, some, 3, Action::Choose, 1}, // wraps round
        {true, some, 4, Action::Choose, 1},
        {true, {true, false, true}, 1, Action::Choose, 1}, // the selection comes last
        // After an update the list may be shorter than the row selected.
        {true, some, 9, Action::Choose, 1},
        {true, {false, true}, 2, Action::Choose, 0},
        {true, {true, true, true}, 1, Action::AllSent, -1},
        {true, {}, -1, Action::AllSent, -1},
        {false, {false, false}, 0, Action::NoProfile, -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(&row - rows);
        const NextDirectory next = FindNextDirectory(row.hasProfile, row.sent, row.selected);
        EXPECT_EQ(int(next.action), int(row.action));
        EXPECT_EQ(next.row, row.row);
    }
}

TEST(DirectoryProgressTest, StatusTexts)
{
    std::vector<bool> fiftySeven(57, false);
    for (std::size_t row = 0; row < 12; ++row)
        fiftySeven[row * 4] = true;
    EXPECT_EQ(ProgressText(true, fiftySeven), "Sent to 12 of 57 directories");
    EXPECT_EQ(ProgressText(false, {true, false}), "");

    const std::vector<std::string> names = {
        "Open Article Library", "Harbor Article Directory", "Bizwrite Library", "Inkwell Articles"};
    const auto nameAt = [&](int row) { return names.at(std::size_t(row)); };
    EXPECT_EQ(SentText({true, false, false, false}, 0, nameAt),
        "Sent. Next: Harbor Article Directory (Ctrl+N)");
    EXPECT_EQ(SentText({false, true, true, true}, 3, nameAt),
        "Sent. Next: Open Article Library (Ctrl+N)");
    // The sent directory is no longer in the list.
    EXPECT_EQ(
        SentText({true, true, false, true}, -1, nameAt), "Sent. Next: Bizwrite Library (Ctrl+N)");
    EXPECT_EQ(SentText({true, true, true, true}, 2, nameAt),
        "All 4 directories are sent for this profile");
    EXPECT_EQ(AllSentText(57), "All 57 directories are sent for this profile");
}

} // namespace
