#include "core/profiles/StateFile.h"

#include "core/common/MessageLog.h"
#include "core/common/Text.h"
#include "core/directorydb/DirectoryDatabase.h"
#include "core/profiles/ProfileStore.h"
#include "support/Printers.h"
#include "support/SampleProfiles.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sstream>

namespace {

std::string Bytes(const ProfileStore& store, const std::string* selected)
{
    return StateFileBytes(store, selected);
}

StateReadResult ReadResult(const std::string& bytes, ProfileStore& store)
{
    std::istringstream in(bytes, std::ios::binary);
    return ReadState(in, store);
}

// Reads state file bytes into a fresh store; returns the first line.
std::string Read(const std::string& bytes, ProfileStore& store)
{
    return ReadResult(bytes, store).selectedName;
}

// Sent marks given in other than the file's order.
const std::set<std::string> gardenTipsSent {"Zeta Zone", "Alpha Articles"};

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
    store.AddProfile(SampleProfile("Garden Tips", gardenTipsSent));
    Profile spare;
    spare.name = "Spare";
    store.AddProfile(spare);

    const std::string selected = "Garden Tips";
    const std::string expected =
        "Garden Tips\r\n2\r\n"
        "Garden Tips\r\nhttp://garden.test/\r\nTen Herbs for Shade\r\n"
        "Herbs like shade.\x01Mint spreads fast.\r\nSmall Business\r\nGardening\r\n"
        "Jo Lee writes\x01"
        "about small gardens.\r\njo@garden.test\r\nJo\r\nLee\r\n"
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

// A file cut short is read whole only while every line is there: the last
// one may lose its line end, nothing more. Whatever is cut, no complete
// profile before the cut is lost.
TEST(StateFileTest, TruncatedFilesKeepTheCompleteProfiles)
{
    ProfileStore store;
    store.AddProfile(SampleProfile("Garden Tips", gardenTipsSent));
    Profile second = SampleProfile("Garden Tips", gardenTipsSent);
    second.name = "Second";
    second.sentDirectories.clear();
    store.AddProfile(second);
    const std::string bytes = Bytes(store, &second.name);
    const std::size_t secondBlock = bytes.find("Second\r\nhttp");
    ASSERT_NE(secondBlock, std::string::npos);

    for (std::size_t length = 0; length <= bytes.size(); ++length) {
        SCOPED_TRACE(length);
        ProfileStore loaded;
        const StateReadResult read = ReadResult(bytes.substr(0, length), loaded);
        const auto& profiles = loaded.Profiles();
        // The last line is the count "0": cut after its digit, it is whole.
        EXPECT_EQ(read.Whole(), length == 0 || length + 2 >= bytes.size());
        EXPECT_EQ(read.KeepOriginal(), !read.Whole());
        if (length + 2 >= bytes.size()) {
            EXPECT_EQ(profiles, store.Profiles());
        } else if (length >= secondBlock) {
            ASSERT_EQ(profiles.size(), 1u);
            EXPECT_EQ(profiles[0], store.Profiles()[0]);
        } else {
            EXPECT_LE(profiles.size(), 1u);
        }
    }
}

// The last line of a file without its line end is a line like any other:
// no profile is lost for the want of two bytes.
TEST(StateFileTest, ALastLineWithoutItsLineEndIsRead)
{
    ProfileStore store;
    store.AddProfile(SampleProfile("Garden Tips", gardenTipsSent));
    Profile second;
    second.name = "Second";
    second.sentDirectories = {"Last Directory"};
    store.AddProfile(second);
    const std::string written = Bytes(store, &second.name);
    ASSERT_EQ(written.substr(written.size() - 2), "\r\n");
    std::string bareLineFeeds = written;
    ReplaceAll(bareLineFeeds, "\r\n", "\n");

    const struct
    {
        const char* label;
        std::string bytes;
    } rows[] = {
        {"CR LF cut from the last line", written.substr(0, written.size() - 2)},
        {"bare LFs, the last one cut", bareLineFeeds.substr(0, bareLineFeeds.size() - 1)},
        {"every line whole", written},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        ProfileStore loaded;
        const StateReadResult read = ReadResult(row.bytes, loaded);
        EXPECT_TRUE(read.Whole()) << read.Description();
        EXPECT_FALSE(read.KeepOriginal());
        EXPECT_EQ(read.selectedName, "Second");
        EXPECT_EQ(loaded.Profiles(), store.Profiles());
    }
}

TEST(StateFileTest, ReadingTellsWhetherTheFileWasReadWhole)
{
    using Status = StateReadResult::Status;
    const std::string block = "P\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n";
    const struct
    {
        const char* label;
        std::string bytes;
        Status status;
        std::size_t profiles;
    } rows[] = {
        {"empty file", "", Status::Whole, 0},
        {"no profiles", "\r\n0\r\n", Status::Whole, 0},
        {"one profile", "P\r\n1\r\n" + block + "1\r\nd\r\n", Status::Whole, 1},
        {"count with trailing text", "\r\n1 profile\r\n" + block + "0\r\n", Status::Whole, 1},
        {"first line only", "P\r\n", Status::Truncated, 0},
        {"no line end at all", "just text", Status::Truncated, 0},
        {"sent name missing", "\r\n1\r\n" + block + "2\r\nd\r\n", Status::Truncated, 0},
        {"second profile missing", "\r\n2\r\n" + block + "0\r\n", Status::Truncated, 1},
        {"huge profile count", "\r\n2147483647\r\n" + block + "0\r\n", Status::Truncated, 1},
        {"an empty line after the last block", "\r\n1\r\n" + block + "0\r\n\r\n",
            Status::TrailingData, 1},
        {"a profile more than counted", "\r\n1\r\n" + block + "0\r\n" + block + "0\r\n",
            Status::TrailingData, 1},
        {"negative count", "\r\n-5\r\n" + block + "0\r\n", Status::TrailingData, 0},
        {"count without digits", "\r\nmany\r\n" + block + "0\r\n", Status::TrailingData, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        ProfileStore loaded;
        const StateReadResult read = ReadResult(row.bytes, loaded);
        EXPECT_EQ(read.status, row.status);
        EXPECT_EQ(loaded.Profiles().size(), row.profiles);
        EXPECT_FALSE(read.converted);
        EXPECT_EQ(read.Description().empty(), row.status == Status::Whole);
    }
}

// Files from systems with an 8-bit code page come through as UTF-8, with
// the original worth keeping; UTF-8 files are taken as they are.
TEST(StateFileTest, FilesThatAreNotUtf8AreReadAsWindows1252)
{
    const auto file = [](const std::string& name, const std::string& content,
                          const std::string& sent) {
        return name + "\r\n1\r\n" + name + "\r\n\r\n\r\n" + content +
            "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n1\r\n" + sent + "\r\n";
    };
    const struct
    {
        const char* label;
        std::string bytes;
        bool converted;
        std::string name;
        std::string content;
        std::string sent;
    } rows[] = {
        {"windows-1252 accents and quotes",
            file("Jos\xE9",
                "\x93"
                "caf\xE9\x94\x01\x80 5",
                "M\xFCller"),
            true, "Jos\xC3\xA9",
            "\xE2\x80\x9C"
            "caf\xC3\xA9\xE2\x80\x9D\r\n\xE2\x82\xAC 5",
            "M\xC3\xBCller"},
        {"the five undefined bytes", file("x\x81\x8D\x8F\x90\x9D", "", "d"), true,
            "x\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D", "", "d"},
        {"UTF-8 stays as it is", file("Jos\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x8C\xBF"), false,
            "Jos\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x8C\xBF"},
        {"UTF-8 cut inside a character", file("Jos\xC3", "", "d"), true, "Jos\xC3\x83", "", "d"},
        {"an encoded surrogate is no UTF-8", file("\xED\xA0\x80", "", "d"), true,
            "\xC3\xAD\xC2\xA0\xE2\x82\xAC", "", "d"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        ProfileStore loaded;
        const StateReadResult read = ReadResult(row.bytes, loaded);
        EXPECT_TRUE(read.Whole());
        EXPECT_EQ(read.converted, row.converted);
        EXPECT_EQ(read.KeepOriginal(), row.converted);
        EXPECT_EQ(read.selectedName, row.name);
        ASSERT_EQ(loaded.Profiles().size(), 1u);
        EXPECT_EQ(loaded.Profiles()[0].name, row.name);
        EXPECT_EQ(loaded.Profiles()[0].articleContent, row.content);
        EXPECT_EQ(loaded.Profiles()[0].sentDirectories, (std::set<std::string> {row.sent}));

        // Written back, the file is UTF-8 and reads the same without a
        // conversion.
        ProfileStore again;
        const StateReadResult reread = ReadResult(Bytes(loaded, &read.selectedName), again);
        EXPECT_FALSE(reread.KeepOriginal());
        EXPECT_EQ(again.Profiles(), loaded.Profiles());
    }
}

// Start-up keeps the bytes of a file it could not read whole, beside the
// file, never over an earlier copy, and says once what it kept where.
TEST(StateFileTest, AnOriginalWorthKeepingIsCopiedAside)
{
    TemporaryDirectory folder;
    const std::string path = folder.FilePath("sv.dat");
    ProfileStore store;
    store.AddProfile(SampleProfile("Garden Tips", gardenTipsSent));
    const std::string clean = Bytes(store, &store.Profiles()[0].name);

    ProfileStore loaded;
    EXPECT_FALSE(LoadStateFile(path, loaded, "Quillmark").opened) << "no file, nothing to do";

    folder.Write("sv.dat", clean);
    StateFileLoad load = LoadStateFile(path, loaded, "Quillmark");
    EXPECT_TRUE(load.opened);
    EXPECT_FALSE(load.notice) << "a clean file gives neither a copy nor a message";
    EXPECT_FALSE(std::filesystem::exists(path + ".damaged"));
    EXPECT_EQ(loaded.Profiles(), store.Profiles());

    const struct
    {
        const char* label;
        std::string bytes;
        std::string copy;
        const char* says;
    } rows[] = {
        {"truncated", clean.substr(0, clean.size() / 2), path + ".damaged", "Not all of"},
        {"trailing garbage", clean + "\x01\x02garbage", path + ".damaged.1", "Not all of"},
        {"windows-1252", "Jos\xE9\r\n0\r\n", path + ".damaged.2", "converted to UTF-8"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        folder.Write("sv.dat", row.bytes);
        load = LoadStateFile(path, loaded, "Quillmark");
        ASSERT_TRUE(load.notice);
        EXPECT_EQ(load.notice->caption, "Quillmark");
        EXPECT_EQ(load.notice->icon, MessageIcon::Exclamation);
        EXPECT_NE(load.notice->text.find(row.says), std::string::npos) << load.notice->text;
        EXPECT_NE(load.notice->text.find("kept as " + row.copy + "."), std::string::npos)
            << load.notice->text;
        EXPECT_EQ(TemporaryDirectory::Read(row.copy), row.bytes);
        EXPECT_EQ(TemporaryDirectory::Read(path), row.bytes) << "the file itself is left alone";
        EXPECT_EQ(std::filesystem::status(row.copy).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    }
    EXPECT_EQ(TemporaryDirectory::Read(path + ".damaged"), rows[0].bytes)
        << "an earlier copy is never written over";
}

TEST(StateFileTest, CopiesAsideFailWithAReason)
{
    TemporaryDirectory folder;
    std::string copy;
    Result kept = KeepStateFileCopy(folder.FilePath("missing/sv.dat"), "x", copy);
    EXPECT_FALSE(kept);
    EXPECT_EQ(kept.Reason(),
        "cannot create " + folder.FilePath("missing/sv.dat.damaged") +
            ": No such file or directory");
    EXPECT_EQ(copy, "");

    // A folder in the way of a name counts as taken.
    std::filesystem::create_directory(folder.FilePath("sv.dat.damaged"));
    kept = KeepStateFileCopy(folder.FilePath("sv.dat"), "x", copy);
    EXPECT_TRUE(kept) << kept.Reason();
    EXPECT_EQ(copy, folder.FilePath("sv.dat.damaged.1"));
}

// A directory name that holds a line end through a character reference
// keeps its mark across a restart: the database lists it as the state file
// keeps it.
TEST(StateFileTest, ADirectoryNameWithALineEndKeepsItsMark)
{
    TemporaryDirectory folder;
    MessageLog log;
    DirectoryDatabase database(log);
    ASSERT_TRUE(database.Load(folder.Write("dirdata.xml",
        "<r><directory name='Two&#10;Lines&#13;&#10;Here&#13;x' submiturl='http://a.test/' "
        "onsubmit='Thanks'/><directory name='Plain' submiturl='http://b.test/'/></r>"
        "<r><directory name='Second&#10;root'/></r>")));
    std::vector<std::string> names;
    database.GetDirectoryNames(names);
    ASSERT_EQ(names, (std::vector<std::string> {"Two Lines  Here x", "Plain", "Second root"}));

    ProfileStore store;
    Profile profile;
    profile.name = "Writer";
    store.AddProfile(profile);
    ASSERT_TRUE(store.MarkSent("Writer", names[0]));

    ProfileStore loaded;
    Read(Bytes(store, &profile.name), loaded);
    EXPECT_TRUE(loaded.IsSent("Writer", names[0]));
    EXPECT_FALSE(loaded.IsSent("Writer", "Plain"));
    EXPECT_EQ(database.GetDirectorySubmitPage(names[0], "", ""), "http://a.test/");
    EXPECT_EQ(database.GetDirectoryOnSubmit(names[0]), "Thanks");
    EXPECT_TRUE(log.messages.empty());
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
        {"count beyond int range", "\r\n99999999999999999999\r\n" + oneProfile + "0\r\n", 1},
        {"huge sent count", "\r\n1\r\n" + oneProfile + "2147483647\r\nd\r\n", 0},
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
        const StateReadResult read = ReadResult(garbage, loaded);
        EXPECT_LE(loaded.Profiles().size(), 3u);
        EXPECT_TRUE(read.KeepOriginal()) << "garbage is never taken for a whole file";
    }
}

} // namespace
