#include "profiles/StateFile.h"

#include "profiles/ProfileStore.h"
#include "support/Printers.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

namespace {

std::string Bytes(const ProfileStore& store, const std::string* selected)
{
    return StateFileBytes(store, selected);
}

// Reads state file bytes into a fresh store; returns the first line.
std::string Read(const std::string& bytes, ProfileStore& store)
{
    std::istringstream in(bytes, std::ios::binary);
    return ReadState(in, store);
}

Profile GardenTips()
{
    Profile profile;
    profile.name = "Garden Tips";
    profile.url = "http://garden.test/";
    profile.articleTitle = "Ten Herbs for Shade";
    profile.articleContent = "Herbs like shade.\r\nMint spreads fast.";
    profile.authorInfo = "Jo Lee writes about small gardens.";
    profile.email = "jo@garden.test";
    profile.firstName = "Jo";
    profile.lastName = "Lee";
    profile.password = "pa ss";
    profile.sentDirectories = {"Zeta Zone", "Alpha Articles"};
    return profile;
}

TEST(StateFileTest, EmptyStateIsAnEmptyLineAndZero)
{
    ProfileStore store;
    EXPECT_EQ(Bytes(store, nullptr), "\r\n0\r\n");
}

TEST(StateFileTest, OneBareProfileIsThirtyTwoBytes)
{
    ProfileStore store;
    Profile a;
    a.name = "A";
    store.AddProfile(a);
    const std::string expected =
        "A\r\n1\r\nA\r\n" + std::string("\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n") + "0\r\n";
    EXPECT_EQ(expected.size(), 32u);
    EXPECT_EQ(Bytes(store, &a.name), expected);
}

TEST(StateFileTest, TwoProfilesAreWrittenLineByLine)
{
    ProfileStore store;
    store.AddProfile(GardenTips());
    Profile spare;
    spare.name = "Spare";
    store.AddProfile(spare);

    const std::string selected = "Garden Tips";
    const std::string expected =
        "Garden Tips\r\n2\r\n"
        "Garden Tips\r\nhttp://garden.test/\r\nTen Herbs for Shade\r\n"
        "Herbs like shade.\x01Mint spreads fast.\r\n\r\n\r\n"
        "Jo Lee writes about small gardens.\r\njo@garden.test\r\nJo\r\nLee\r\n"
        "pa ss\r\n2\r\nAlpha Articles\r\nZeta Zone\r\n"
        "Spare\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n0\r\n";
    EXPECT_EQ(Bytes(store, &selected), expected);

    ProfileStore loaded;
    EXPECT_EQ(Read(expected, loaded), "Garden Tips");
    EXPECT_EQ(loaded.Profiles(), store.Profiles());
}

TEST(StateFileTest, MultiLineFieldsUseTheMarkerByte)
{
    ProfileStore store;
    Profile p;
    p.articleContent = "one\r\ntwo\nthree\rfour\x01"
                       "five";
    p.authorInfo = "a\r\n\r\nb";
    store.AddProfile(p);

    const std::string bytes = Bytes(store, nullptr);
    EXPECT_NE(bytes.find("one\x01two\x01three\rfour\x01"
                         "five\r\n"),
        std::string::npos);
    EXPECT_NE(bytes.find("\r\na\x01\x01"
                         "b\r\n"),
        std::string::npos);

    ProfileStore loaded;
    Read(bytes, loaded);
    ASSERT_EQ(loaded.Profiles().size(), 1u);
    EXPECT_EQ(loaded.Profiles()[0].articleContent, "one\r\ntwo\r\nthree\rfour\r\nfive");
    EXPECT_EQ(loaded.Profiles()[0].authorInfo, "a\r\n\r\nb");
}

TEST(StateFileTest, ReadingAcceptsBareLineFeedsAndSortsSentNames)
{
    const std::string bytes = "P\n1\nP\nu\nt\nc\x01"
                              "d\ncat\nsub\ni\ne\nf\nl\npw\n4\nzeta\nAlpha\nzeta\nmid\n";
    ProfileStore store;
    EXPECT_EQ(Read(bytes, store), "P");
    ASSERT_EQ(store.Profiles().size(), 1u);
    const Profile& p = store.Profiles()[0];
    EXPECT_EQ(p.articleContent, "c\r\nd");
    EXPECT_EQ(p.category, "cat");
    EXPECT_EQ(p.password, "pw");
    EXPECT_EQ(p.sentDirectories, (std::set<std::string> {"Alpha", "mid", "zeta"}));
}

TEST(StateFileTest, SavedSelectionPicksTheNamedOrTheEarliestProfile)
{
    ProfileStore store;
    for (const char* name : {"Second", "First", "Third"}) {
        Profile p;
        p.name = name;
        store.AddProfile(p);
    }
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

TEST(StateFileTest, ManagedProfilesKeepTheCurrentOneOrTakeTheEarliest)
{
    ProfileStore store;
    for (const char* name : {"Second", "First"}) {
        Profile p;
        p.name = name;
        store.AddProfile(p);
    }
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

TEST(StateFileTest, ALineEndInASingleLineValueCannotShiftTheFile)
{
    ProfileStore store;
    Profile first;
    first.name = "First";
    first.sentDirectories = {"Line\nbreak"};
    Profile second;
    second.name = "Second";
    second.email = "second@test";
    store.AddProfile(first);
    store.AddProfile(second);

    ProfileStore loaded;
    Read(Bytes(store, nullptr), loaded);
    ASSERT_EQ(loaded.Profiles().size(), 2u);
    EXPECT_EQ(loaded.Profiles()[0].sentDirectories, (std::set<std::string> {"Line break"}));
    EXPECT_EQ(loaded.Profiles()[1], second);
}

TEST(StateFileTest, ASelectedNameWithALineEndStaysOnTheFirstLine)
{
    ProfileStore store;
    Profile profile;
    profile.name = "Two\nLines";
    profile.email = "kept@test";
    store.AddProfile(profile);

    const std::string bytes = Bytes(store, &profile.name);
    EXPECT_EQ(bytes.substr(0, 14), "Two Lines\r\n1\r\n");

    ProfileStore loaded;
    const std::string firstLine = Read(bytes, loaded);
    EXPECT_EQ(firstLine, "Two Lines");
    ASSERT_EQ(loaded.Profiles().size(), 1u);
    EXPECT_EQ(loaded.Profiles()[0].email, "kept@test");
    Profile current;
    ASSERT_TRUE(SelectSavedProfile(loaded, firstLine, current));
    EXPECT_EQ(current, loaded.Profiles()[0]);
}

// Whatever a file holds, what was read from it is written so that reading
// it again gives the same: the program saves what it loaded on every close.
TEST(StateFileTest, WhatWasReadIsReadAgainAfterWriting)
{
    const struct
    {
        const char* label;
        std::string bytes;
    } rows[] = {
        {"lone CRs in every kind of line",
            "Sel\r\r\n1\r\nSel\r\r\nu\r\nt\rx\r\nc\r\x01\r\r\n\r\n\r\na\r\r\n\r\n\r\n\r\n"
            "\x01pw\r\n1\r\nd\r\r\n"},
        {"marker bytes in single-line fields",
            "\x01\r\n1\r\n\x01n\r\n\x01\r\n\r\n\x01\x01\r\n\r\n\r\n\r\n\r\n\r\n\r\n\x01\r\n1\r\n"
            "\x01\r\n"},
        {"bare LFs and a count with trailing text",
            "P\n1\nP\nu\nt\nc\x01"
            "d\ncat\nsub\ni\ne\nf\nl\npw\n2 names\nb\na\n"},
        {"more profiles promised than present",
            "\r\n3\r\nP\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n0\r\nQ\r\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        ProfileStore first;
        const std::string firstLine = Read(row.bytes, first);
        ASSERT_EQ(first.Profiles().size(), 1u);
        ProfileStore second;
        EXPECT_EQ(Read(Bytes(first, &firstLine), second), firstLine);
        EXPECT_EQ(second.Profiles(), first.Profiles());
    }
}

// A damaged file yields the profiles that were read whole, and nothing else.
TEST(StateFileTest, TruncatedFilesKeepTheCompleteProfiles)
{
    ProfileStore store;
    store.AddProfile(GardenTips());
    Profile second = GardenTips();
    second.name = "Second";
    second.sentDirectories = {"One"};
    store.AddProfile(second);
    const std::string bytes = Bytes(store, &second.name);

    for (std::size_t length = 0; length <= bytes.size(); ++length) {
        SCOPED_TRACE(length);
        ProfileStore loaded;
        Read(bytes.substr(0, length), loaded);
        const auto& profiles = loaded.Profiles();
        ASSERT_LE(profiles.size(), 2u);
        if (length == bytes.size()) {
            EXPECT_EQ(profiles.size(), 2u);
        }
        for (std::size_t i = 0; i < profiles.size(); ++i) {
            EXPECT_EQ(profiles[i], store.Profiles()[i]);
        }
    }
}

TEST(StateFileTest, AbsurdCountsAndGarbageNeitherHangNorExhaustMemory)
{
    const std::string oneProfile = "P\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n";
    const struct
    {
        const char* label;
        std::string bytes;
        std::size_t profiles;
    } rows[] = {
        {"negative count", "\r\n-5\r\n" + oneProfile + "0\r\n", 0},
        {"huge profile count", "\r\n2147483647\r\n" + oneProfile + "0\r\n", 1},
        {"count beyond int range", "\r\n99999999999999999999\r\n" + oneProfile + "0\r\n", 1},
        {"huge sent count", "\r\n1\r\n" + oneProfile + "2147483647\r\nd\r\n", 0},
        {"count without digits", "\r\nmany\r\n" + oneProfile + "0\r\n", 0},
        {"empty file", "", 0},
        {"no line end at all", "just text", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        ProfileStore loaded;
        Read(row.bytes, loaded);
        EXPECT_EQ(loaded.Profiles().size(), row.profiles);
    }

    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 200; ++round) {
        std::string garbage(1 + round * 13, '\0');
        for (char& c : garbage)
            c = static_cast<char>(byte(random));
        if (round % 2)
            garbage = "x\r\n3\r\n" + garbage;
        ProfileStore loaded;
        Read(garbage, loaded);
        EXPECT_LE(loaded.Profiles().size(), 3u);
    }
}

} // namespace
