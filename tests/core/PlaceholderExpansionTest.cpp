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

} // namespace
