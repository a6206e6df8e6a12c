#include "core/common/AtomicFile.h"
#include "core/directorydb/XmlLoader.h"
#include "core/profiles/StateFile.h"
#include "core/record/SubmissionRecord.h"
#include "crash/CrashFixtures.h"
#include "support/ChildProcess.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <cstdlib>
#include <fstream>
#include <random>
#include <signal.h>
#include <sys/wait.h>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// The delays spread over this many of the writer's write cycles.
constexpr int cyclesSpread = 3;
// Bounds that only keep a broken writer from hanging the test.
constexpr std::chrono::milliseconds startLimit {10000};

// One file that the program replaces, and how the writer replaces it.
struct KillTarget
{
    const char* name;
    const char* fileName;
    // Kills of a fresh writer each, after a random delay. A database update
    // spends most of its time downloading and checking, before the replace
    // starts, so it takes more kills to cut enough replaces off.
    int kills;
    // The writer's arguments after the program: the mode and the paths.
    std::vector<std::string> (*arguments)(const TemporaryDirectory& folder);
    std::string (*content)(int version);
    // Whether the file at `path` loads as `version` of the content.
    ::testing::AssertionResult (*loads)(const std::string& path, int version);
};

std::vector<std::string> StateArguments(const TemporaryDirectory& folder)
{
    return {"state", folder.FilePath("sv.dat")};
}

::testing::AssertionResult StateLoads(const std::string& path, int version)
{
    std::ifstream in(path, std::ios::binary);
    ProfileStore store;
    const std::string selected = ReadState(in, store).selectedName;
    if (selected != CrashSelectedName(version))
        return ::testing::AssertionFailure() << "first line reads \"" << selected << '"';
    if (store.Profiles() != CrashProfileStore(version).Profiles())
        return ::testing::AssertionFailure() << "profiles differ after " << store.Profiles().size();
    return ::testing::AssertionSuccess();
}

std::vector<std::string> DatabaseArguments(const TemporaryDirectory& folder)
{
    std::filesystem::create_directories(folder.path / "tmp");
    return {"database", folder.FilePath("dirdata.xml"), folder.FilePath("tmp")};
}

::testing::AssertionResult DatabaseLoads(const std::string& path, int version)
{
    pugi::xml_document document;
    const XmlLoadResult loaded = LoadXmlFile(path, document);
    if (!loaded)
        return ::testing::AssertionFailure() << loaded.Reason();
    const pugi::xml_node root = document.document_element();
    if (std::string(root.name()) != "r")
        return ::testing::AssertionFailure() << "document element " << root.name();
    const auto directories = root.children("directory");
    const auto count =
        static_cast<std::size_t>(std::distance(directories.begin(), directories.end()));
    if (count != CrashDirectoryCount(version))
        return ::testing::AssertionFailure() << count << " directories";
    return ::testing::AssertionSuccess();
}

const KillTarget targets[] = {
    {"StateFile", "sv.dat", 240, StateArguments, CrashStateBytes, StateLoads},
    {"Database", "dirdata.xml", 480, DatabaseArguments, CrashDatabase, DatabaseLoads},
};

// The names that WriteFileAtomically gives its temporary files beside
// `fileName`: the name, a dot and six random characters.
std::vector<std::filesystem::path> TemporaryFilesBeside(
    const TemporaryDirectory& folder, const std::string& fileName)
{
    std::vector<std::filesystem::path> found;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path)) {
        const std::string name = entry.path().filename().string();
        if (name.size() == fileName.size() + 7 && name.rfind(fileName + ".", 0) == 0)
            found.push_back(entry.path());
    }
    return found;
}

void PrintTo(const KillTarget& target, std::ostream* out)
{
    *out << target.name;
}

// A fresh seed each run, so that every run tries other moments; a seed
// from QUILLMARK_CRASH_SEED repeats a reported run.
unsigned Seed()
{
    if (const char* given = std::getenv("QUILLMARK_CRASH_SEED"))
        return static_cast<unsigned>(std::strtoul(given, nullptr, 10));
    return std::random_device()();
}

class KillTest : public ::testing::TestWithParam<KillTarget>
{
protected:
    void SetUp() override
    {
        path = folder.FilePath(GetParam().fileName);
        arguments = GetParam().arguments(folder);
        arguments.insert(arguments.begin(), QUILLMARK_CRASH_WRITER_EXE);
        for (int version = 0; version <= 2; ++version)
            contents.push_back(GetParam().content(version));
    }

    void PutInitialFile()
    {
        const Result written = WriteFileAtomically(path, contents[0], 0600);
        ASSERT_TRUE(written) << written.Reason();
    }

    // Starts a writer and waits until it is about to write.
    void StartWriter(ChildProcess& writer, std::vector<std::string> extra = {})
    {
        std::vector<std::string> all = arguments;
        all.insert(all.end(), extra.begin(), extra.end());
        std::string error;
        ASSERT_TRUE(writer.Start(all, &error)) << error;
        char ready = 0;
        ASSERT_TRUE(writer.ReadByte(ready, startLimit) && ready == 'R')
            << "the writer never got ready";
    }

    // The version whose bytes the file holds; -1 for none.
    int VersionOnDisk() const
    {
        const std::string bytes = TemporaryDirectory::Read(path);
        for (int version = 0; version <= 2; ++version) {
            if (bytes == contents[version])
                return version;
        }
        return -1;
    }

    TemporaryDirectory folder;
    std::string path;
    std::vector<std::string> arguments;
    std::vector<std::string> contents;
};

TEST_P(KillTest, EveryKillLeavesOneWholeVersion)
{
    ASSERT_NE(contents[1].size(), contents[2].size());
    ASSERT_GT(contents[1].size(), std::size_t(200000)) << "big enough to be cut off";

    // A writer that ends by itself shows how long one write cycle takes,
    // and that the versions follow each other as the check below expects.
    constexpr long calibrationWrites = 6;
    PutInitialFile();
    Clock::duration cycle;
    {
        ChildProcess writer;
        StartWriter(writer, {std::to_string(calibrationWrites)});
        const auto start = Clock::now();
        const std::string said = writer.ReadRest();
        cycle = (Clock::now() - start) / calibrationWrites;
        const int status = writer.Wait();
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
        ASSERT_EQ(said, std::string(calibrationWrites, 'W'));
        ASSERT_EQ(VersionOnDisk(), CrashVersionOfWrite(calibrationWrites));
        ASSERT_TRUE(TemporaryFilesBeside(folder, GetParam().fileName).empty());
    }

    const unsigned seed = Seed();
    const auto spread = std::max<long long>(
        200, std::chrono::duration_cast<std::chrono::microseconds>(cycle * cyclesSpread).count());
    std::mt19937 random(seed);
    std::uniform_int_distribution<long long> delays(0, spread);

    int midWrite = 0;
    std::size_t leftovers = 0;
    int found[4] = {}; // no whole version, then versions 0, 1 and 2
    const auto started = Clock::now();
    for (int kill = 0; kill < GetParam().kills; ++kill) {
        const long long delay = delays(random);
        SCOPED_TRACE("kill " + std::to_string(kill) + " after " + std::to_string(delay) +
            " us, seed " + std::to_string(seed));
        PutInitialFile();

        ChildProcess writer;
        StartWriter(writer);
        std::this_thread::sleep_for(std::chrono::microseconds(delay));
        writer.Kill(SIGKILL);
        const int status = writer.Wait();
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "the writer ended by itself, status " << status;
        const auto completed = static_cast<long>(writer.ReadRest().size());

        const auto temporary = TemporaryFilesBeside(folder, GetParam().fileName);
        midWrite += temporary.empty() ? 0 : 1;
        leftovers += temporary.size();
        for (const auto& file : temporary)
            std::filesystem::remove(file);

        // The last write it reported, or the one after it: that one may
        // have been renamed into place just before the kill.
        ASSERT_TRUE(std::filesystem::exists(path));
        const int version = VersionOnDisk();
        ++found[version + 1];
        EXPECT_TRUE(version == CrashVersionOfWrite(completed) ||
            version == CrashVersionOfWrite(completed + 1))
            << "the file holds "
            << (version < 0 ? "no whole version" : "version " + std::to_string(version))
            << " after " << completed << " completed writes";
        if (version >= 0) {
            EXPECT_TRUE(GetParam().loads(path, version));
        }
    }
    const auto seconds = std::chrono::duration<double>(Clock::now() - started).count();

    const std::string report = std::string(GetParam().name) + ": " +
        std::to_string(GetParam().kills) + " kills in " + std::to_string(seconds) +
        " s, write cycle " +
        std::to_string(std::chrono::duration_cast<std::chrono::microseconds>(cycle).count()) +
        " us, delays 0.." + std::to_string(spread) + " us, seed " + std::to_string(seed) + "; " +
        std::to_string(midWrite) + " mid-write, " + std::to_string(leftovers) +
        " temporary files left; found initial " + std::to_string(found[1]) + ", version 1 " +
        std::to_string(found[2]) + ", version 2 " + std::to_string(found[3]) + ", none whole " +
        std::to_string(found[0]);
    std::printf("%s\n", report.c_str());
    RecordProperty("kills", GetParam().kills);
    RecordProperty("midWrite", midWrite);
    RecordProperty("leftovers", static_cast<int>(leftovers));
    RecordProperty("seed", std::to_string(seed));

    // The kills really cut writes off, not just the pauses between them.
    EXPECT_GE(midWrite, 50) << report;
}

INSTANTIATE_TEST_SUITE_P(Files, KillTest, ::testing::ValuesIn(targets),
    [](const ::testing::TestParamInfo<KillTarget>& info) { return info.param.name; });

// The record's entries for the crash writer's profile, numbered as written:
// how many there are, once each of them is checked to be the entry of its
// write.
::testing::AssertionResult ReadRecordEntries(const std::string& path, long& count)
{
    const SystemWallClock clock;
    SubmissionRecord record(clock);
    const SubmissionRecord::Opening opening = record.Open(path, "Quillmark");
    if (!opening.result || opening.notice)
        return ::testing::AssertionFailure()
            << "the record did not open cleanly: "
            << (opening.notice ? opening.notice->text : opening.result.Reason());
    std::vector<RecordEntry> entries;
    if (Result read = record.ReadEntries(crashRecordProfile, entries); !read)
        return ::testing::AssertionFailure() << read.Reason();
    for (std::size_t at = 0; at < entries.size(); ++at) {
        const long write = static_cast<long>(at) + 1;
        if (entries[at].directory != CrashRecordDirectory(write) ||
            entries[at].formAddress != CrashRecordAddress(write) || !entries[at].submitted)
            return ::testing::AssertionFailure() << "entry " << write << " is not as written";
    }
    count = static_cast<long>(entries.size());
    return ::testing::AssertionSuccess();
}

TEST(RecordKillTest, EveryKillKeepsEveryCommittedEntry)
{
    constexpr int kills = 150;
    constexpr long calibrationWrites = 40;
    TemporaryDirectory folder;
    const std::string path = folder.FilePath(SubmissionRecord::fileName);
    const std::vector<std::string> arguments = {QUILLMARK_CRASH_WRITER_EXE, "record", path};

    // A writer that ends by itself shows how long one entry takes.
    Clock::duration cycle;
    {
        ChildProcess writer;
        std::vector<std::string> counted = arguments;
        counted.push_back(std::to_string(calibrationWrites));
        std::string error;
        ASSERT_TRUE(writer.Start(counted, &error)) << error;
        char ready = 0;
        ASSERT_TRUE(writer.ReadByte(ready, startLimit) && ready == 'R');
        const auto start = Clock::now();
        const std::string said = writer.ReadRest();
        cycle = (Clock::now() - start) / calibrationWrites;
        const int status = writer.Wait();
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << writer.ReadErrors();
        ASSERT_EQ(said, std::string(calibrationWrites, 'W'));
    }
    long total = 0;
    ASSERT_TRUE(ReadRecordEntries(path, total));
    ASSERT_EQ(total, calibrationWrites);

    // Every kill lands on a writer that reopens the file the last one left,
    // so each also tests the recovery of the one before.
    const unsigned seed = Seed();
    const auto spread = std::max<long long>(
        200, std::chrono::duration_cast<std::chrono::microseconds>(cycle * cyclesSpread).count());
    std::mt19937 random(seed);
    std::uniform_int_distribution<long long> delays(0, spread);
    int uncommitted = 0;
    for (int kill = 0; kill < kills; ++kill) {
        const long long delay = delays(random);
        SCOPED_TRACE("kill " + std::to_string(kill) + " after " + std::to_string(delay) +
            " us, seed " + std::to_string(seed));
        ChildProcess writer;
        std::string error;
        ASSERT_TRUE(writer.Start(arguments, &error)) << error;
        char ready = 0;
        ASSERT_TRUE(writer.ReadByte(ready, startLimit) && ready == 'R') << writer.ReadErrors();
        std::this_thread::sleep_for(std::chrono::microseconds(delay));
        writer.Kill(SIGKILL);
        const int status = writer.Wait();
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "the writer ended by itself, status " << status << ": " << writer.ReadErrors();
        const auto committed = static_cast<long>(writer.ReadRest().size());

        // Every entry the writer reported is there; the one it was writing
        // may be too, when its commit was through before the kill.
        long found = 0;
        ASSERT_TRUE(ReadRecordEntries(path, found));
        EXPECT_GE(found, total + committed);
        EXPECT_LE(found, total + committed + 1);
        uncommitted += found == total + committed + 1 ? 1 : 0;
        total = found;
    }
    std::printf("RecordKill: %d kills, entry cycle %lld us, delays 0..%lld us, seed %u; %ld "
                "entries, %d committed but not reported\n",
        kills,
        static_cast<long long>(
            std::chrono::duration_cast<std::chrono::microseconds>(cycle).count()),
        spread, seed, total, uncommitted);
    EXPECT_GT(total, calibrationWrites);
}

} // namespace
