#include "core/record/SubmissionStatus.h"
#include "core/record/WebAddress.h"

#include <gtest/gtest.h>

namespace {

RecordEntry EntryIn(SubmissionState state)
{
    RecordEntry entry;
    entry.state = state;
    return entry;
}

TEST(RecordStatusTest, SentMarkDecidesAndRecordTellsHowFar)
{
    const RecordEntry notSent = EntryIn(SubmissionState::NotSent);
    const RecordEntry awaiting = EntryIn(SubmissionState::AwaitingApproval);
    const RecordEntry published = EntryIn(SubmissionState::Published);
    const RecordEntry rejected = EntryIn(SubmissionState::Rejected);
    const struct
    {
        bool sentMark;
        const RecordEntry* entry;
        ShownState shown;
        const char* text;
    } cases[] = {
        {false, nullptr, ShownState::NotSent, "not sent"},
        {false, &published, ShownState::NotSent, "not sent"},
        {true, nullptr, ShownState::SentDateUnknown, "sent \u2014 date unknown"},
        {true, &notSent, ShownState::SentDateUnknown, "sent \u2014 date unknown"},
        {true, &awaiting, ShownState::AwaitingApproval, "sent \u2014 awaiting approval"},
        {true, &published, ShownState::Published, "published"},
        {true, &rejected, ShownState::Rejected, "rejected"},
    };
    for (const auto& row : cases) {
        const ShownState shown = ShownStateOf(row.sentMark, row.entry);
        EXPECT_EQ(shown, row.shown) << row.text;
        EXPECT_EQ(ShownStateText(shown), row.text);
    }
}

TEST(RecordStatusTest, SummaryLineCountsEveryState)
{
    const auto counts = [](int notSent, int unknown, int awaiting, int published, int rejected) {
        StateCounts counts;
        const std::pair<ShownState, int> states[] = {{ShownState::NotSent, notSent},
            {ShownState::SentDateUnknown, unknown}, {ShownState::AwaitingApproval, awaiting},
            {ShownState::Published, published}, {ShownState::Rejected, rejected}};
        for (const auto& [state, count] : states) {
            for (int i = 0; i < count; ++i)
                counts.Add(state);
        }
        return counts;
    };
    const struct
    {
        StateCounts counts;
        const char* line;
    } cases[] = {
        {counts(45, 0, 3, 8, 1),
            "57 directories: 12 sent (3 awaiting approval, 8 published, 1 rejected), 45 not sent"},
        {counts(0, 0, 0, 0, 0),
            "0 directories: 0 sent (0 awaiting approval, 0 published, 0 rejected), 0 not sent"},
        {counts(1, 0, 0, 0, 0),
            "1 directory: 0 sent (0 awaiting approval, 0 published, 0 rejected), 1 not sent"},
        {counts(2, 4, 1, 0, 0),
            "7 directories: 5 sent (1 awaiting approval, 0 published, "
            "0 rejected, 4 date unknown), 2 not sent"},
    };
    for (const auto& row : cases)
        EXPECT_EQ(SummaryLine(row.counts), row.line);
}

TEST(RecordStatusTest, PublishedArticlePageIsOnTheSiteWithTheTitle)
{
    PublishedPageQuestion base;
    base.pageAddress = "http://127.0.0.1:8731/harbor/articles/ten-herbs.html";
    base.pageText = "Harbor  Article Directory\nTEN HERBS   for shade\nby Jo Lee";
    base.submissionPage = "http://127.0.0.1:8731/harbor/submit.html";
    base.formAddress = "http://127.0.0.1:8731/harbor/submit.html?x=1";
    base.confirmationAddress = "http://127.0.0.1:8731/harbor/submit";
    base.articleTitle = "Ten Herbs for Shade";
    base.sentMark = true;

    const struct
    {
        const char* name;
        void (*change)(PublishedPageQuestion&);
        bool published;
    } cases[] = {
        {"the article", [](PublishedPageQuestion&) {}, true},
        {"host in capitals, with www.",
            [](PublishedPageQuestion& q) { q.pageAddress = "http://WWW.127.0.0.1:8731/a"; }, true},
        {"other port", [](PublishedPageQuestion& q) { q.pageAddress = "http://127.0.0.1:9/a"; },
            false},
        {"other host", [](PublishedPageQuestion& q) { q.pageAddress = "http://mirror.test/a"; },
            false},
        {"title missing", [](PublishedPageQuestion& q) { q.pageText = "Ten Herbs"; }, false},
        {"not sent", [](PublishedPageQuestion& q) { q.sentMark = false; }, false},
        {"published address known",
            [](PublishedPageQuestion& q) { q.publishedAddress = "http://127.0.0.1:8731/p"; },
            false},
        {"the confirmation page",
            [](PublishedPageQuestion& q) { q.pageAddress = q.confirmationAddress; }, false},
        {"the form's page", [](PublishedPageQuestion& q) { q.pageAddress = q.formAddress; }, false},
        {"the submission page",
            [](PublishedPageQuestion& q) { q.pageAddress = q.submissionPage + "#top"; }, false},
        {"no address", [](PublishedPageQuestion& q) { q.pageAddress = "about:blank"; }, false},
    };
    for (const auto& row : cases) {
        PublishedPageQuestion question = base;
        row.change(question);
        EXPECT_EQ(IsPublishedArticlePage(question), row.published) << row.name;
    }
}

TEST(RecordStatusTest, AddressesCompareAsTheSamePage)
{
    const struct
    {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"http://garden.test/", "https://www.Garden.TEST", true},
        {"http://garden.test/herbs/", "http://garden.test/herbs", true},
        {"http://garden.test:80/herbs#top", "http://garden.test/herbs", true},
        {"https://garden.test:443/", "http://garden.test", true},
        {" http://garden.test/ ", "http://garden.test.", true},
        {"http://garden.test/?a=1", "http://garden.test/?a=1", true},
        {"http://garden.test/Herbs", "http://garden.test/herbs", false},
        {"http://garden.test/?a=1", "http://garden.test/?a=2", false},
        {"http://garden.test:8080/", "http://garden.test/", false},
        {"http://shop.garden.test/", "http://garden.test/", false},
        {"ftp://garden.test/", "ftp://garden.test/", false},
        {"garden.test", "garden.test", false},
        {"http://[::1]:8731/x", "http://[::1]:8731/x/", true},
        {"http://garden.test:99999/", "http://garden.test:99999/", false},
    };
    for (const auto& row : cases)
        EXPECT_EQ(SameAddress(row.a, row.b), row.same) << row.a << " vs " << row.b;
}

} // namespace
