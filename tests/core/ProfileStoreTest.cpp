#include "core/profiles/ProfileStore.h"

#include "support/Printers.h"
#include "support/SampleProfiles.h"

#include <gtest/gtest.h>

namespace {

TEST(ProfileStoreTest, LookUpsTakeTheFirstExactMatch)
{
    ProfileStore store;
    store.AddProfile(SampleProfile("Tips", {"d1"}));
    store.AddProfile(SampleProfile("tips"));
    store.AddProfile(SampleProfile("Tips", {"d2"}));
    store.AddProfile(SampleProfile(""));
    store.AddProfile(SampleProfile("Tips "));

    Profile found = SampleProfile("untouched");
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
    store.AddProfile(SampleProfile("P"));
    for (const char* directory : {"alpha", "Alpha", "Alph", "\xC3\xA9t\xC3\xA9", "Alpha", "Zeta"})
        EXPECT_TRUE(store.MarkSent("P", directory));
    const std::vector<std::string> expected {"Alph", "Alpha", "Zeta", "alpha", "\xC3\xA9t\xC3\xA9"};
    const auto& sent = store.Profiles()[0].sentDirectories;
    EXPECT_EQ(std::vector<std::string>(sent.begin(), sent.end()), expected);
}

TEST(ProfileStoreTest, EditKeepsMarksAndRemoveKeepsTheOrder)
{
    ProfileStore store;
    store.AddProfile(SampleProfile("A", {"d1", "d2"}));
    store.AddProfile(SampleProfile("B"));
    store.AddProfile(SampleProfile("A"));
    EXPECT_EQ(store.IndexOf("A"), 0);
    EXPECT_EQ(store.IndexOf("B"), 1);
    EXPECT_EQ(store.IndexOf("C"), -1);

    // Every text field is taken, whatever it holds.
    Profile edited;
    for (const ProfileField& field : profileFields)
        edited.*field.member = std::string("edited ") + field.label;
    edited.name = "Renamed";
    edited.sentDirectories = {"ignored"};
    store.SetProfileFields(0, edited);
    Profile expected = edited;
    expected.sentDirectories = {"d1", "d2"};
    EXPECT_EQ(store.Profiles()[0], expected);
    EXPECT_TRUE(store.IsSent("Renamed", "d1"));
    EXPECT_FALSE(store.IsSent("Renamed", "ignored"));
    EXPECT_FALSE(store.IsSent("A", "d1")) << "the old name has no marks left";

    store.RemoveProfile(0);
    std::vector<std::string> names;
    store.GetProfileNames(names);
    EXPECT_EQ(names, (std::vector<std::string> {"B", "A"}));
    store.AddProfile(SampleProfile("Renamed"));
    EXPECT_FALSE(store.IsSent("Renamed", "d1")) << "a new profile of a removed name starts clean";
}

TEST(ProfileStoreTest, CopiesShareNothing)
{
    ProfileStore store;
    store.AddProfile(SampleProfile("P", {"d1"}));
    Profile copy;
    ASSERT_TRUE(store.FindProfile("P", copy));
    store.MarkSent("P", "d2");
    EXPECT_EQ(copy.sentDirectories, (std::set<std::string> {"d1"}));
}

TEST(ProfileStoreTest, SavedSelectionPicksTheNamedOrTheEarliestProfile)
{
    ProfileStore store;
    for (const char* name : {"Second", "First", "Third"})
        store.AddProfile(SampleProfile(name));
    Profile current;
    EXPECT_TRUE(SelectSavedProfile(store, "First", current));
    EXPECT_EQ(current.name, "First");
    EXPECT_TRUE(SelectSavedProfile(store, "Gone", current));
    EXPECT_EQ(current.name, "Second");
    current.name = "unchanged";
    EXPECT_FALSE(SelectSavedProfile(store, "", current));
    EXPECT_EQ(current.name, "unchanged");
    EXPECT_FALSE(SelectSavedProfile(ProfileStore(), "Gone", current));
}

TEST(ProfileStoreTest, ManagedProfilesKeepTheCurrentOneOrTakeTheEarliest)
{
    ProfileStore store;
    for (const char* name : {"Second", "First"})
        store.AddProfile(SampleProfile(name));
    Profile current;
    current.name = "First";
    current.email = "stale copy";
    EXPECT_TRUE(ReselectProfile(store, true, current));
    EXPECT_EQ(current.email, "stale copy") << "a profile still there is kept as it is";

    current.name = "Gone";
    EXPECT_TRUE(ReselectProfile(store, true, current));
    EXPECT_EQ(current.name, "Second");

    current.name = "First";
    EXPECT_TRUE(ReselectProfile(store, false, current));
    EXPECT_EQ(current.name, "Second") << "with none selected, the earliest is taken";

    EXPECT_FALSE(ReselectProfile(ProfileStore(), true, current));
    EXPECT_FALSE(ReselectProfile(ProfileStore(), false, current));
}

} // namespace
