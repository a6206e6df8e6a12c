#include "fill/PlaceholderExpansion.h"

#include "profiles/Profile.h"

#include <gtest/gtest.h>

namespace {

Profile SampleProfile()
{
    Profile profile;
    profile.name = "Garden Tips";
    profile.url = "http://garden.test/";
    profile.articleTitle = "Ten Herbs for Shade";
    profile.articleContent = "Herbs like shade.\r\nMint spreads fast.\r\n";
    profile.category = "Home";
    profile.subcategory = "Gardening";
    profile.authorInfo = "Jo Lee writes\r\nabout gardens.";
    profile.email = "jo@garden.test";
    profile.firstName = "Ann";
    profile.lastName = "Lee";
    profile.password = "s3cret";
    return profile;
}

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
        {"#cat#/#subcat#", "Home/Gardening"},
        {"#keywords#", profile.authorInfo},
        {"#email#", profile.email},
        {"#fname# #lname#", "Ann Lee"},
        {"#fname##lname#", "AnnLee"},
        {"#password#", "s3cret"},
        {"#lname#", "Lee"},
        {"#title#|#title#|#title#", "Ten Herbs for Shade|Ten Herbs for Shade|Ten Herbs for Shade"},
        {"#Title# # title# #title #TITLE#", "#Title# # title# #title #TITLE#"},
        {"##fname##", "#Ann#"},
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
