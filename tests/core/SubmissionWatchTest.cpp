#include "core/app/SubmissionWatch.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

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

} // namespace
