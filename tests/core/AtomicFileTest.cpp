#include "core/common/AtomicFile.h"

#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>

namespace {

std::size_t FileCount(const TemporaryDirectory& folder)
{
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path))
        ++count;
    return count;
}

TEST(AtomicFileTest, CreatesAndReplacesWithTheGivenPermissions)
{
    TemporaryDirectory folder;
    const std::string path = folder.FilePath("sv.dat");
    Result written = WriteFileAtomically(path, "first", 0600);
    ASSERT_TRUE(written) << written.Reason();
    EXPECT_EQ(TemporaryDirectory::Read(path), "first");

    ::chmod(path.c_str(), 0644);
    const std::string big(3 << 20, 'x');
    written = WriteFileAtomically(path, big, 0600);
    ASSERT_TRUE(written) << written.Reason();
    EXPECT_EQ(TemporaryDirectory::Read(path), big);

    struct stat info;
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(FileCount(folder), 1u) << "no temporary file is left behind";

    written = WriteFileAtomically(path, "", 0644);
    ASSERT_TRUE(written) << written.Reason();
    EXPECT_EQ(TemporaryDirectory::Read(path), "");
}

TEST(AtomicFileTest, FailuresLeaveTheOldFileAndSayWhy)
{
    TemporaryDirectory folder;

    const std::string directory = folder.FilePath("sv.dat");
    std::filesystem::create_directory(directory);
    folder.Write("sv.dat/keep", "kept");
    Result written = WriteFileAtomically(directory, "new", 0600);
    EXPECT_FALSE(written);
    EXPECT_EQ(written.Reason(), "cannot replace " + directory + ": Is a directory");
    EXPECT_EQ(written.ErrorNumber(), EISDIR);
    EXPECT_EQ(TemporaryDirectory::Read(folder.FilePath("sv.dat/keep")), "kept");

    const std::string missing = folder.FilePath("no/such/folder/sv.dat");
    written = WriteFileAtomically(missing, "new", 0600);
    EXPECT_FALSE(written);
    EXPECT_EQ(
        written.Reason(), "cannot create a file beside " + missing + ": No such file or directory");
    EXPECT_EQ(written.ErrorNumber(), ENOENT);
    EXPECT_EQ(FileCount(folder), 1u);
}

TEST(AtomicFileTest, NewFilesNeverReplaceAndSayWhenTheNameIsTaken)
{
    TemporaryDirectory folder;
    const std::string path = folder.FilePath("sv.dat.damaged");
    Result written = WriteNewFile(path, "copy", 0640);
    ASSERT_TRUE(written) << written.Reason();
    EXPECT_EQ(written.ErrorNumber(), 0);
    EXPECT_EQ(TemporaryDirectory::Read(path), "copy");
    struct stat info;
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);

    written = WriteNewFile(path, "other", 0600);
    EXPECT_FALSE(written);
    EXPECT_EQ(written.ErrorNumber(), EEXIST);
    EXPECT_EQ(written.Reason(), "cannot create " + path + ": File exists");
    EXPECT_EQ(TemporaryDirectory::Read(path), "copy");

    const std::string missing = folder.FilePath("no/sv.dat.damaged");
    written = WriteNewFile(missing, "copy", 0600);
    EXPECT_FALSE(written);
    EXPECT_EQ(written.ErrorNumber(), ENOENT) << "only a taken name reads as taken";
}

} // namespace
