#include "core/common/AtomicFile.h"
#include "core/update/DatabaseDownload.h"
#include "crash/CrashFixtures.h"
#include "support/ChildProcess.h"
#include "support/TemporaryDirectory.h"
#include "support/TestHttpServer.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fstream>
#include <map>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Every file under a folder by its relative path, with its bytes; folders
// show as "<folder>". Two equal snapshots mean nothing was changed, added
// or left behind.
using Snapshot = std::map<std::string, std::string>;

Snapshot TakeSnapshot(const std::filesystem::path& folder)
{
    Snapshot snapshot;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        const std::string name = std::filesystem::relative(entry.path(), folder).string();
        snapshot[name] = entry.is_directory() ? "<folder>" : TemporaryDirectory::Read(entry.path());
    }
    return snapshot;
}

std::vector<std::string> Flatten(const Snapshot& snapshot)
{
    std::vector<std::string> fields;
    for (const auto& [name, bytes] : snapshot) {
        fields.push_back(name);
        fields.push_back(bytes);
    }
    return fields;
}

Snapshot Unflatten(
    std::vector<std::string>::const_iterator from, std::vector<std::string>::const_iterator to)
{
    Snapshot snapshot;
    for (; from != to && from + 1 != to; from += 2)
        snapshot[*from] = *(from + 1);
    return snapshot;
}

// The files of a snapshot with their sizes, for failure messages: the
// bytes themselves run to hundreds of kilobytes.
std::string Describe(const Snapshot& snapshot)
{
    std::string text;
    for (const auto& [name, bytes] : snapshot)
        text += name + " (" + std::to_string(bytes.size()) + " bytes) ";
    return text;
}

// Targets that cannot be written, each with the reason that must be given.
struct Unwritable
{
    const char* name;
    // Prepares the folder and returns the path to write.
    std::string (*prepare)(const TemporaryDirectory& folder);
    const char* reason;
};

const Unwritable unwritables[] = {
    {"TargetIsAFolder",
        [](const TemporaryDirectory& folder) {
            std::filesystem::create_directory(folder.path / "sv.dat");
            folder.Write("sv.dat/kept", CrashStateBytes(0));
            return folder.FilePath("sv.dat");
        },
        "Is a directory"},
    {"MissingFolder",
        [](const TemporaryDirectory& folder) { return folder.FilePath("no/such/folder/sv.dat"); },
        "No such file or directory"},
    {"FolderIsAFile",
        [](const TemporaryDirectory& folder) {
            folder.Write("profiles", CrashStateBytes(0));
            return folder.FilePath("profiles/sv.dat");
        },
        "Not a directory"},
};

void PrintTo(const Unwritable& target, std::ostream* out)
{
    *out << target.name;
}

class UnwritableTest : public ::testing::TestWithParam<Unwritable>
{
};

TEST_P(UnwritableTest, FailsWithTheReasonAndChangesNothing)
{
    TemporaryDirectory folder;
    folder.Write("dirdata.xml", CrashDatabase(0));
    const std::string path = GetParam().prepare(folder);
    const Snapshot before = TakeSnapshot(folder.path);

    const Result written = WriteFileAtomically(path, CrashStateBytes(1), 0600);
    EXPECT_FALSE(written);
    EXPECT_NE(written.Reason().find(path), std::string::npos) << written.Reason();
    EXPECT_NE(written.Reason().find(GetParam().reason), std::string::npos) << written.Reason();
    EXPECT_EQ(TakeSnapshot(folder.path), before);
}

INSTANTIATE_TEST_SUITE_P(Targets, UnwritableTest, ::testing::ValuesIn(unwritables),
    [](const ::testing::TestParamInfo<Unwritable>& info) { return info.param.name; });

// The ways to fill a disk without filling the real one.
enum class FullDisk
{
    // A 64 KiB tmpfs mounted on the folder, in a mount namespace of the
    // child's own: writes past it fail with ENOSPC.
    SmallFileSystem,
    // RLIMIT_FSIZE of 64 KiB with SIGXFSZ ignored: writes past it fail
    // with EFBIG. Works wherever mounting is not allowed.
    FileSizeLimit,
};

void PrintTo(FullDisk kind, std::ostream* out)
{
    *out << (kind == FullDisk::SmallFileSystem ? "SmallFileSystem" : "FileSizeLimit");
}

constexpr std::size_t diskBytes = 64 << 10;

bool WriteSmallFile(const char* path, const std::string& text)
{
    std::ofstream out(path);
    out << text;
    return static_cast<bool>(out.flush());
}

// Mounts a small tmpfs on `folder`, visible to this process only.
bool MountSmallFileSystem(const std::string& folder, std::string* why)
{
    const uid_t uid = ::geteuid();
    const gid_t gid = ::getegid();
    if (::unshare(CLONE_NEWNS) != 0) {
        // Without the right to mount here, a user namespace may give it.
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
            *why = std::string("unshare: ") + std::strerror(errno);
            return false;
        }
        WriteSmallFile("/proc/self/setgroups", "deny");
        if (!WriteSmallFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
            !WriteSmallFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1")) {
            *why = "cannot map the user into its namespace";
            return false;
        }
    }
    // Nothing mounted here may propagate back to the rest of the system.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        *why = std::string("making mounts private: ") + std::strerror(errno);
        return false;
    }
    const std::string options = "size=" + std::to_string(diskBytes);
    if (::mount("tmpfs", folder.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0) {
        *why = std::string("mount: ") + std::strerror(errno);
        return false;
    }
    return true;
}

class FullDiskTest : public ::testing::TestWithParam<FullDisk>
{
protected:
    FullDiskTest()
    {
        disk = folder.path / "disk";
        std::filesystem::create_directory(disk);
        std::filesystem::create_directory(folder.path / "tmp");
    }

    const char* Reason() const
    {
        return GetParam() == FullDisk::SmallFileSystem ? "No space left on device"
                                                       : "File too large";
    }

    // In a forked child: fills the disk, puts `oldBytes` at `fileName` on
    // it, runs `action` and gives back its result, its message and what the
    // disk holds afterwards. Skips the test when the disk cannot be filled.
    std::vector<std::string> OnFullDisk(const std::string& fileName, const std::string& oldBytes,
        const std::function<std::pair<std::string, std::string>()>& action)
    {
        bool exited = false;
        const std::vector<std::string> fields = RunForked(
            [&]() -> std::vector<std::string> {
                std::string why;
                if (GetParam() == FullDisk::SmallFileSystem &&
                    !MountSmallFileSystem(disk.string(), &why))
                    return {"skip", why};
                const Result setUp =
                    WriteFileAtomically((disk / fileName).string(), oldBytes, 0600);
                if (!setUp)
                    return {"setup", setUp.Reason()};
                if (GetParam() == FullDisk::FileSizeLimit) {
                    const rlimit limit {diskBytes, diskBytes};
                    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
                        return {"skip", std::string("setrlimit: ") + std::strerror(errno)};
                    std::signal(SIGXFSZ, SIG_IGN);
                }
                const auto [result, message] = action();
                std::vector<std::string> out = {"done", result, message};
                const std::vector<std::string> files = Flatten(TakeSnapshot(disk));
                out.insert(out.end(), files.begin(), files.end());
                return out;
            },
            &exited);
        EXPECT_TRUE(exited) << "the child ended abnormally";
        return fields;
    }

    TemporaryDirectory folder;
    std::filesystem::path disk;
};

TEST_P(FullDiskTest, AtomicWriteFailsAndKeepsTheOldFile)
{
    const std::string path = (disk / "sv.dat").string();
    const std::string oldBytes = CrashStateBytes(0);
    const std::string newBytes = CrashStateBytes(1);
    ASSERT_GT(newBytes.size(), diskBytes);

    const auto fields = OnFullDisk("sv.dat", oldBytes, [&] {
        const Result written = WriteFileAtomically(path, newBytes, 0600);
        return std::make_pair(std::string(written ? "written" : "failed"), written.Reason());
    });
    // Where mounting is denied (a chroot, most containers) the child says
    // "skip" and why, in two fields.
    ASSERT_GE(fields.size(), 2u);
    if (fields[0] == "skip")
        GTEST_SKIP() << fields[1];
    ASSERT_EQ(fields[0], "done") << fields[1];
    ASSERT_GE(fields.size(), 3u);

    EXPECT_EQ(fields[1], "failed");
    EXPECT_NE(fields[2].find("cannot write " + path + "."), std::string::npos) << fields[2];
    EXPECT_NE(fields[2].find(Reason()), std::string::npos) << fields[2];
    const Snapshot after = Unflatten(fields.begin() + 3, fields.end());
    EXPECT_TRUE(after == Snapshot({{"sv.dat", oldBytes}})) << "the disk holds " << Describe(after);
}

TEST_P(FullDiskTest, DatabaseUpdateFailsAndKeepsTheDatabase)
{
    const std::string path = (disk / "dirdata.xml").string();
    const std::string oldBytes = CrashDatabase(0);
    const std::string newBytes = CrashDatabase(1);
    ASSERT_GT(newBytes.size(), diskBytes);
    const auto fields = OnFullDisk("dirdata.xml", oldBytes, [&] {
        TestHttpServer server;
        server.server.Get("/updates/quillmarkdemo.xml",
            [&](const httplib::Request&, httplib::Response& response) {
                response.set_content(newBytes, "text/xml");
            });
        server.Start();
        DownloadOptions options;
        options.temporaryFolder = folder.FilePath("tmp");
        options.connectTimeout = std::chrono::seconds(5);
        options.stallTimeout = std::chrono::seconds(5);
        Result outcome;
        const int code =
            DownloadDatabase(server.Url("/updates/quillmarkdemo.xml"), path, options, &outcome);
        return std::make_pair(std::to_string(code), outcome.Reason());
    });
    // Where mounting is denied (a chroot, most containers) the child says
    // "skip" and why, in two fields.
    ASSERT_GE(fields.size(), 2u);
    if (fields[0] == "skip")
        GTEST_SKIP() << fields[1];
    ASSERT_EQ(fields[0], "done") << fields[1];
    ASSERT_GE(fields.size(), 3u);

    EXPECT_EQ(fields[1], std::to_string(UpdateFailed));
    // The file size limit holds for every file of the process: the
    // download's own copy hits it first, and the replace is never tried.
    const std::string failed = GetParam() == FullDisk::FileSizeLimit
        ? folder.FilePath("tmp/ddupdate.xml") + ":"
        : path + ".";
    EXPECT_NE(fields[2].find("cannot write " + failed), std::string::npos) << fields[2];
    EXPECT_NE(fields[2].find(Reason()), std::string::npos) << fields[2];
    const Snapshot after = Unflatten(fields.begin() + 3, fields.end());
    EXPECT_TRUE(after == Snapshot({{"dirdata.xml", oldBytes}}))
        << "the disk holds " << Describe(after);
}

INSTANTIATE_TEST_SUITE_P(Kinds, FullDiskTest,
    ::testing::Values(FullDisk::SmallFileSystem, FullDisk::FileSizeLimit),
    [](const ::testing::TestParamInfo<FullDisk>& info) {
        return ::testing::PrintToString(info.param);
    });

} // namespace
