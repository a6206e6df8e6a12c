#include "core/app/DataFolder.h"

#include <gtest/gtest.h>

namespace {

TEST(DataFolderTest, InstalledProgramsKeepDataInTheUsersFolder)
{
    const std::string home = "/home/ann/.local/share/Quillmark/quillmark";
    const struct
    {
        const char* what;
        DataFolderFacts facts;
        DataFolderChoice expected;
    } rows[] = {
        {"the build tree", {"", "/work/build/bin", true, false, home}, {"/work/build/bin", ""}},
        {"installed, run by a user", {"", "/usr/bin", false, true, home},
            {home, "/usr/share/quillmark/dirdata.xml"}},
        {"installed, run by the administrator", {"", "/usr/bin", true, true, home},
            {home, "/usr/share/quillmark/dirdata.xml"}},
        {"installed under another prefix", {"", "/opt/q/bin/", true, true, home},
            {home, "/opt/q/share/quillmark/dirdata.xml"}},
        {"a bin folder without the installed database", {"", "/home/ann/bin", true, false, home},
            {"/home/ann/bin", ""}},
        {"a copy in a folder that cannot be written",
            {"", "/media/cd/quillmark", false, false, home},
            {home, "/media/cd/quillmark/dirdata.xml"}},
        {"a folder named on the command line, installed",
            {"/media/usb/q", "/usr/bin", false, true, home},
            {"/media/usb/q", "/usr/share/quillmark/dirdata.xml"}},
        {"a folder named on the command line, build tree",
            {"/tmp/q", "/work/build/bin", true, false, home},
            {"/tmp/q", "/work/build/bin/dirdata.xml"}},
    };
    for (const auto& row : rows) {
        const DataFolderChoice choice = ChooseDataFolder(row.facts);
        EXPECT_EQ(choice.folder, row.expected.folder) << row.what;
        EXPECT_EQ(choice.seedDatabase, row.expected.seedDatabase) << row.what;
    }
}

TEST(DataFolderTest, OnlyABinFolderHasAnInstalledDatabase)
{
    const struct
    {
        const char* programFolder;
        const char* expected;
    } rows[] = {
        {"/usr/bin", "/usr/share/quillmark/dirdata.xml"},
        {"/usr/local/bin/", "/usr/local/share/quillmark/dirdata.xml"},
        {"/work/build/src", ""},
        {"/bin/quillmark", ""},
        {"/", ""},
        {"", ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(InstalledDatabasePath(row.programFolder), row.expected) << row.programFolder;
}

} // namespace
