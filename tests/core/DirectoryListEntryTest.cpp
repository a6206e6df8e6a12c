#include "core/directorydb/DirectoryListEntry.h"

#include <gtest/gtest.h>

namespace {

TEST(DirectoryListEntryTest, SuffixesAndCuttingBackToTheName)
{
    EXPECT_EQ(DirectoryListEntry("Alpha", false, true), "Alpha");
    EXPECT_EQ(DirectoryListEntry("Alpha", true, true), "Alpha [sent]");
    EXPECT_EQ(DirectoryListEntry("Alpha", true, false), "Alpha [not sent]");
    EXPECT_EQ(DirectoryNameFromEntry("Alpha [not sent]"), "Alpha");
    EXPECT_EQ(DirectoryNameFromEntry("Alpha"), "Alpha");
    EXPECT_EQ(DirectoryNameFromEntry("Odd [name] [sent]"), "Odd");
    EXPECT_EQ(DirectoryNameFromEntry("Tight[x] [sent]"), "Tight[x]");
}

} // namespace
