// The quillmark program itself, started as a user starts it: its command
// line, and where it keeps its data from the build tree, from an installed
// layout, and with --data-dir.

#include "support/ChildProcess.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <stdlib.h>
#include <thread>
#include <unistd.h>

#ifndef QUILLMARK_EXE
#error "QUILLMARK_EXE must name the quillmark program"
#endif

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Waits until `condition` holds, for at most `limit`.
template<typename Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds limit = 30s)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

class DataFolderProgramTest : public ::testing::Test
{
protected:
    DataFolderProgramTest()
    {
        // The program's window opens offscreen, and its user folder is
        // this test's home.
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        if (::geteuid() == 0)
            ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
        ::setenv("HOME", home.path.c_str(), 1);
        ::unsetenv("XDG_DATA_HOME");
    }

    fs::path UserFolder() const { return home.path / ".local/share/Quillmark/quillmark"; }

    // Starts `program` with `arguments` and waits until its browser has
    // started, which is after the data folder was prepared.
    void StartWindow(ChildProcess& child, const std::string& program,
        const std::vector<std::string>& arguments = {})
    {
        std::vector<std::string> command {program};
        command.insert(command.end(), arguments.begin(), arguments.end());
        std::string error;
        ASSERT_TRUE(child.Start(command, &error)) << error;
        ASSERT_TRUE(WaitFor([&] { return fs::exists(UserFolder() / "QtWebEngine"); }))
            << "the program did not start its browser";
    }

    TemporaryDirectory home;
    TemporaryDirectory work;
};

TEST_F(DataFolderProgramTest, HelpAndVersionNeedNoDisplay)
{
    ::unsetenv("QT_QPA_PLATFORM");
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    const struct
    {
        const char* option;
        const char* says;
    } rows[] = {
        {"--version", "quillmark 1.0.0.0\n"},
        {"--help", "--data-dir <folder>"},
    };
    for (const auto& row : rows) {
        ChildProcess run;
        std::string error;
        ASSERT_TRUE(run.Start({QUILLMARK_EXE, row.option}, &error)) << error;
        ASSERT_EQ(run.WaitForExit(30s), 0) << row.option;
        EXPECT_NE(run.ReadRest().find(row.says), std::string::npos) << row.option;
    }
}

TEST_F(DataFolderProgramTest, InstalledProgramStartsTheUsersFolderFromTheDefault)
{
    // <prefix>/bin/quillmark with <prefix>/share/quillmark/dirdata.xml: the
    // program's folder may be written to, as the administrator's is.
    const fs::path bin = work.path / "bin";
    const fs::path shared = work.path / "share/quillmark";
    fs::create_directories(bin);
    fs::create_directories(shared);
    fs::copy_file(QUILLMARK_EXE, bin / "quillmark");
    const std::string installed = "<r><directory name=\"Installed\"/></r>\n";
    std::ofstream(shared / "dirdata.xml") << installed;

    {
        ChildProcess first;
        StartWindow(first, (bin / "quillmark").string());
        EXPECT_EQ(TemporaryDirectory::Read((UserFolder() / "dirdata.xml").string()), installed);
        EXPECT_FALSE(fs::exists(bin / "dirdata.xml"));
    }

    // A later start keeps the user's database, updated or not.
    const std::string updated = "<r><directory name=\"Updated\"/></r>\n";
    std::ofstream(UserFolder() / "dirdata.xml") << updated;
    fs::remove_all(UserFolder() / "QtWebEngine");
    ChildProcess again;
    StartWindow(again, (bin / "quillmark").string());
    EXPECT_EQ(TemporaryDirectory::Read((UserFolder() / "dirdata.xml").string()), updated);
}

TEST_F(DataFolderProgramTest, DataDirNamesTheFolder)
{
    const fs::path folder = work.path / "stick/quillmark";
    ChildProcess child;
    StartWindow(child, QUILLMARK_EXE, {"--data-dir", folder.string()});
    // From the build tree, the folder starts from the database beside the
    // program.
    const fs::path beside = fs::path(QUILLMARK_EXE).parent_path() / "dirdata.xml";
    EXPECT_EQ(TemporaryDirectory::Read((folder / "dirdata.xml").string()),
        TemporaryDirectory::Read(beside.string()));
    EXPECT_FALSE(fs::exists(UserFolder() / "dirdata.xml"));
}

} // namespace
