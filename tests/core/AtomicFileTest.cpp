#include "common/AtomicFile.h"

#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

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
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(path, "first", 0600, &error)) << error;
    EXPECT_EQ(TemporaryDirectory::Read(path), "first");

    ::chmod(path.c_str(), 0644);
    const std::string big(3 << 20, 'x');
    ASSERT_TRUE(WriteFileAtomically(path, big, 0600, &error)) << error;
    EXPECT_EQ(TemporaryDirectory::Read(path), big);

    struct stat info;
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(FileCount(folder), 1u) << "no temporary file is left behind";

    ASSERT_TRUE(WriteFileAtomically(path, "", 0644, &error)) << error;
    EXPECT_EQ(TemporaryDirectory::Read(path), "");
}

TEST(AtomicFileTest, FailuresLeaveTheOldFileAndSayWhy)
{
    TemporaryDirectory folder;
    std::string error;

    const std::string directory = folder.FilePath("sv.dat");
    std::filesystem::create_directory(directory);
    folder.Write("sv.dat/keep", "kept");
    EXPECT_FALSE(WriteFileAtomically(directory, "new", 0600, &error));
    EXPECT_NE(error.find(directory), std::string::npos) << error;
    EXPECT_EQ(TemporaryDirectory::Read(folder.FilePath("sv.dat/keep")), "kept");

    error.clear();
    const std::string missing = folder.FilePath("no/such/folder/sv.dat");
    EXPECT_FALSE(WriteFileAtomically(missing, "new", 0600, &error));
    EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
    EXPECT_EQ(FileCount(folder), 1u);
}

} // namespace
