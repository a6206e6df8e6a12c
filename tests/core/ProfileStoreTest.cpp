#include "profiles/ProfileStore.h"

#include "support/Printers.h"

#include <gtest/gtest.h>

namespace {

Profile Named(const std::string& name, std::set<std::string> sent = {})
{
    Profile profile;
    profile.name = name;
    profile.url = "url of " + name;
    profile.sentDirectories = std::move(sent);
    return profile;
}

TEST(ProfileStoreTest, LookUpsTakeTheFirstExactMatch)
{
    ProfileStore store;
    store.AddProfile(Named("Tips", {"d1"}));
    store.AddProfile(Named("tips"));
    store.AddProfile(Named("Tips", {"d2"}));
    store.AddProfile(Named(""));
    store.AddProfile(Named("Tips "));

    Profile found = Named("untouched");
    EXPECT_TRUE(store.FindProfile("Tips", found));
    EXPECT_EQ(found, store.Profiles()[0]);
    EXPECT_TRUE(store.FindProfile("", found));
    EXPECT_EQ(found, store.Profiles()[3]);

    const Profile before = found;
    EXPECT_FALSE(store.FindProfile("TIPS", found));
    EXPECT_EQ(found, before) << "a failed look-up leaves the out argument alone";

    std::vector<std::string> names {"stale"};
    store.GetProfileNames(names);
    EXPECT_EQ(names, (std::vector<std::string> {"Tips", "tips", "Tips", "", "Tips "}));

    // IsSent asks every profile of the name; MarkSent marks only the first.
    EXPECT_TRUE(store.IsSent("Tips", "d1"));
    EXPECT_TRUE(store.IsSent("Tips", "d2"));
    EXPECT_FALSE(store.IsSent("tips", "d1"));
    EXPECT_FALSE(store.IsSent("Nobody", "d1"));
    EXPECT_TRUE(store.MarkSent("Tips", "d3"));
    EXPECT_EQ(store.Profiles()[0].sentDirectories, (std::set<std::string> {"d1", "d3"}));
    EXPECT_EQ(store.Profiles()[2].sentDirectories, (std::set<std::string> {"d2"}));
    EXPECT_FALSE(store.MarkSent("Nobody", "d1"));
}

TEST(ProfileStoreTest, SentSetIsOrderedByByteValueAndHoldsEachNameOnce)
{
    ProfileStore store;
    store.AddProfile(Named("P"));
    for (const char* directory : {"alpha", "Alpha", "Alph", "\xC3\xA9t\xC3\xA9", "Alpha", "Zeta"})
        EXPECT_TRUE(store.MarkSent("P", directory));
    const std::vector<std::string> expected {"Alph", "Alpha", "Zeta", "alpha", "\xC3\xA9t\xC3\xA9"};
    const auto& sent = store.Profiles()[0].sentDirectories;
    EXPECT_EQ(std::vector<std::string>(sent.begin(), sent.end()), expected);
}

TEST(ProfileStoreTest, EditKeepsMarksAndRemoveKeepsTheOrder)
{
    ProfileStore store;
    store.AddProfile(Named("A", {"d1", "d2"}));
    store.AddProfile(Named("B"));
    store.AddProfile(Named("A"));
    EXPECT_EQ(store.IndexOf("A"), 0);
    EXPECT_EQ(store.IndexOf("B"), 1);
    EXPECT_EQ(store.IndexOf("C"), -1);

    Profile edited = Named("Renamed", {"ignored"});
    edited.email = "new@test";
    store.SetProfileFields(0, edited);
    EXPECT_EQ(store.Profiles()[0].name, "Renamed");
    EXPECT_EQ(store.Profiles()[0].email, "new@test");
    EXPECT_TRUE(store.IsSent("Renamed", "d1"));
    EXPECT_FALSE(store.IsSent("Renamed", "ignored"));
    EXPECT_FALSE(store.IsSent("A", "d1")) << "the old name has no marks left";

    store.RemoveProfile(0);
    std::vector<std::string> names;
    store.GetProfileNames(names);
    EXPECT_EQ(names, (std::vector<std::string> {"B", "A"}));
    store.AddProfile(Named("Renamed"));
    EXPECT_FALSE(store.IsSent("Renamed", "d1")) << "a new profile of a removed name starts clean";
}

TEST(ProfileStoreTest, CopiesShareNothing)
{
    ProfileStore store;
    store.AddProfile(Named("P", {"d1"}));
    Profile copy;
    ASSERT_TRUE(store.FindProfile("P", copy));
    store.MarkSent("P", "d2");
    EXPECT_EQ(copy.sentDirectories, (std::set<std::string> {"d1"}));
}

} // namespace
