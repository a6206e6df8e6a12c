#include "core/fill/PlaceholderExpansion.h"

#include "core/profiles/Profile.h"
#include "support/SampleProfiles.h"

#include <gtest/gtest.h>

namespace {

TEST(PlaceholderExpansionTest, EachTokenTakesItsField)
{
    const Profile profile = SampleProfile();
    const struct
    {
        std::string pattern;
        std::string result;
    } rows[] = {
        {"", ""},
        {"no tokens # at all #", "no tokens # at all #"},
        {"#url#", profile.url},
        {"#title#", profile.articleTitle},
        {"#desc#", profile.articleContent},
        {"#cat#/#subcat#", "Small Business/Gardening"},
        {"#keywords#", profile.authorInfo},
        {"#email#", profile.email},
        {"#fname# #lname#", "Jo Lee"},
        {"#fname##lname#", "JoLee"},
        {"#password#", "pa ss"},
        {"#lname#", "Lee"},
        {"#title#|#title#|#title#", "Ten Herbs for Shade|Ten Herbs for Shade|Ten Herbs for Shade"},
        {"#Title# # title# #title #TITLE#", "#Title# # title# #title #TITLE#"},
        {"##fname##", "#Jo#"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pattern);
        EXPECT_EQ(ExpandPlaceholders(row.pattern, profile), row.result);
    }
}

TEST(PlaceholderExpansionTest, LaterTokensSeeTextInsertedByEarlierOnes)
{
    Profile profile;
    profile.articleTitle = "mail me at #email#";
    profile.email = "see #title#";
    profile.url = "#url#";
    profile.category = "#subcat#";
    profile.subcategory = "sub";

    EXPECT_EQ(ExpandPlaceholders("#title#", profile), "mail me at see #title#");
    EXPECT_EQ(ExpandPlaceholders("#email#", profile), "see #title#");
    EXPECT_EQ(ExpandPlaceholders("#url#", profile), "#url#");
    EXPECT_EQ(ExpandPlaceholders("#cat#", profile), "sub");
}

TEST(PlaceholderExpansionTest, EmptyFieldsDeleteTheirTokensAndLineBreaksStay)
{
    Profile profile;
    profile.articleContent = "one\r\ntwo\r\nthree";
    EXPECT_EQ(ExpandPlaceholders("[#fname#][#desc#]", profile), "[][one\r\ntwo\r\nthree]");
}

// The values kept beside the profile: set, they fill in; unset, the byline
// is the first and last name and the summary the article's first sentences.
TEST(PlaceholderExpansionTest, AuthorSummaryAndTagsFallBackToTheProfile)
{
    const Profile profile = SampleProfile();
    const ProfileExtras set {"J. L. Gardener", "Shade herbs, briefly.", "herbs, shade"};
    const struct
    {
        const char* pattern;
        ProfileExtras extras;
        std::string result;
    } rows[] = {
        {"#author#|#summary#|#tags#", set, "J. L. Gardener|Shade herbs, briefly.|herbs, shade"},
        {"#author#|#summary#|#tags#", {}, "Jo Lee|Herbs like shade. Mint spreads fast.|"},
        {"#author#", {"", "", ""}, "Jo Lee"},
        {"#fname# #lname# #keywords#", set, "Jo Lee " + profile.authorInfo},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pattern);
        EXPECT_EQ(ExpandPlaceholders(row.pattern, profile, row.extras), row.result);
    }
    Profile nameless;
    nameless.lastName = "Lee";
    EXPECT_EQ(ExpandPlaceholders("#author#", nameless), "Lee");
}

// A summary made from the article ends at a sentence's end within the
// limit, else at a word; line breaks and runs of blanks become one space.
TEST(PlaceholderExpansionTest, ArticleLeadCutsAtASentenceEnd)
{
    const struct
    {
        std::string article;
        std::size_t limit;
        std::string lead;
    } rows[] = {
        {"One. Two!\r\n\r\nThree?  Four.", 100, "One. Two! Three? Four."},
        {"One. Two! Three? Four.", 15, "One. Two!"},
        {"One. Two! Three? Four.", 16, "One. Two! Three?"},
        {"A very long first sentence without an end", 20, "A very long first"},
        {"Version 1.5 is out. More soon.", 22, "Version 1.5 is out."},
        {"", 10, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.article);
        EXPECT_EQ(ArticleLead(row.article, row.limit), row.lead);
    }
    EXPECT_LE(ArticleLead(std::string(1000, 'x'), summaryLimit).size(), summaryLimit);
}

} // namespace
