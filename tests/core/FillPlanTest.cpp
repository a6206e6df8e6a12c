#include "fill/FillPlan.h"

#include "app/DirectoryListEntry.h"
#include "app/SubmissionWatch.h"
#include "common/MessageLog.h"
#include "directorydb/DirectoryDatabase.h"
#include "profiles/Profile.h"
#include "support/Printers.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

namespace {

TEST(FillPlanTest, ItemsInOrderWithVariablesThenPlaceholders)
{
    TemporaryDirectory folder;
    MessageLog log;
    DirectoryDatabase database(log);
    ASSERT_TRUE(database.Load(folder.Write("dirdata.xml", R"(<r>
        <directory name="D" submiturl="u" onsubmit="ok">
          <variable name="SECTION">
            <cond category="Small Business" value="117 #cat#"/><cond value="100"/>
          </variable>
          <item name="title" index="0" type="edit" value="#title#"/>
          <item name="author" index="1" type="edit" value="#fname# #lname#"/>
          <item name="section" index="0" type="edit" value="SECTION"/>
          <item name="body" index="0" type="edit" value="#desc#"/>
        </directory></r>)")));

    Profile profile;
    profile.articleTitle = "Herbs";
    profile.firstName = "Ann";
    profile.lastName = "Lee";
    profile.category = "Small Business";
    profile.articleContent = "one\r\ntwo";
    const std::vector<FillStep> expected {{"title", 0, "Herbs"}, {"author", 1, "Ann Lee"},
        {"section", 0, "117 Small Business"}, {"body", 0, "one\r\ntwo"}};
    EXPECT_EQ(BuildFillPlan(database, "D", profile), expected);

    profile.category = "Other";
    EXPECT_EQ(BuildFillPlan(database, "D", profile)[2].text, "100");
    EXPECT_TRUE(BuildFillPlan(database, "Unknown", profile).empty());
    EXPECT_TRUE(log.messages.empty());
}

TEST(SubmissionWatchTest, CheckIsDueStrictlyAfterThreeSecondsAcrossTheClockWrap)
{
    const struct
    {
        std::uint32_t now;
        std::uint32_t submitted;
        bool due;
    } rows[] = {
        {1000, 1000, false},
        {4000, 1000, false},
        {4001, 1000, true},
        {2000, 0xFFFFFFFFu - 999, false}, // 3000 ms across the wrap
        {2001, 0xFFFFFFFFu - 999, true},
        {500, 0xFFFFFF00u, false},
        {0xFFFFFFFFu, 0, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.now) + " " + std::to_string(row.submitted));
        EXPECT_EQ(SubmissionCheckDue(row.now, row.submitted), row.due);
    }
}

TEST(SubmissionWatchTest, MarkerIsSearchedByteForByteBeforeTheFirstZero)
{
    const std::string page = "<p>Thank you, your article has been received</p>";
    EXPECT_TRUE(PageConfirmsSubmission(page, "article has been received"));
    EXPECT_FALSE(PageConfirmsSubmission(page, "Article has been received"));
    EXPECT_FALSE(PageConfirmsSubmission(page, "received!"));
    EXPECT_TRUE(PageConfirmsSubmission(page, ""));
    EXPECT_TRUE(PageConfirmsSubmission("", ""));
    EXPECT_FALSE(PageConfirmsSubmission(std::string("<p>\0Thanks</p>", 13), "Thanks"));
    EXPECT_TRUE(PageConfirmsSubmission(std::string("Thanks\0tail", 11), "Thanks"));
}

TEST(DirectoryListEntryTest, SuffixesAndCuttingBackToTheName)
{
    EXPECT_EQ(DirectoryListEntry("Alpha", false, true), "Alpha");
    EXPECT_EQ(DirectoryListEntry("Alpha", true, true), "Alpha [sent]");
    EXPECT_EQ(DirectoryListEntry("Alpha", true, false), "Alpha [not sent]");
    EXPECT_EQ(DirectoryNameFromEntry("Alpha [not sent]"), "Alpha");
    EXPECT_EQ(DirectoryNameFromEntry("Alpha"), "Alpha");
    EXPECT_EQ(DirectoryNameFromEntry("Odd [name] [sent]"), "Odd");
    EXPECT_EQ(DirectoryNameFromEntry("Tight[x] [sent]"), "Tight[x]");
    EXPECT_EQ(SentDirectoryEntry("Alpha [not sent]"), "Alpha [sent]");
    EXPECT_EQ(SentDirectoryEntry("Alpha [sent]"), "Alpha [sent]");
    EXPECT_EQ(SentDirectoryEntry("Alpha"), "Alpha [sent]");
}

} // namespace
