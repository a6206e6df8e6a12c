#include "TestData.h"
#include "demo/DemoServer.h"
#include "support/ChildProcess.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <optional>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const std::string demoWww = std::string(QUILLMARK_DEMO_DIR) + "/www";

// quillmark-demo-server run as a child process.
class ServerProcess : public ChildProcess
{
public:
    explicit ServerProcess(const std::vector<std::string>& arguments)
    {
        std::vector<std::string> command {QUILLMARK_DEMO_SERVER_EXE};
        command.insert(command.end(), arguments.begin(), arguments.end());
        std::string error;
        if (!Start(command, &error))
            throw std::runtime_error(error);
    }

    std::optional<int> Wait() { return WaitForExit(timeout); }
    std::optional<std::string> ReadLine() { return ChildProcess::ReadLine(timeout); }

    static constexpr std::chrono::milliseconds timeout {10000};
};

class StopSignalTest : public ::testing::TestWithParam<int>
{
};

TEST_P(StopSignalTest, ServesUntilTheSignalThenExitsCleanly)
{
    ServerProcess process({"--port", "0", "--root", demoWww});
    const std::optional<std::string> line = process.ReadLine();
    ASSERT_TRUE(line) << process.ReadErrors();
    std::smatch address;
    ASSERT_TRUE(std::regex_search(*line, address, std::regex("http://127\\.0\\.0\\.1:([0-9]+)/")))
        << *line;
    EXPECT_NE(line->find(demoWww), std::string::npos) << *line;

    httplib::Client client("127.0.0.1", std::stoi(address[1].str()));
    client.set_connection_timeout(5);
    auto result = client.Get("/updates/");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);

    ASSERT_EQ(kill(process.Pid(), GetParam()), 0);
    EXPECT_EQ(process.Wait(), std::optional<int>(0));
    EXPECT_EQ(process.ReadRest(), "");
    EXPECT_EQ(process.ReadErrors(), "");
}

INSTANTIATE_TEST_SUITE_P(Signals, StopSignalTest, ::testing::Values(SIGINT, SIGTERM));

TEST(DemoServerProgram, HelpPrintsUsage)
{
    ServerProcess process({"--help"});
    EXPECT_EQ(process.Wait(), std::optional<int>(0));
    EXPECT_EQ(process.ReadRest(),
        "usage: quillmark-demo-server [--port N] [--root DIR] [--ckeditor DIR]\n");
}

TEST(DemoServerProgram, FailuresGiveOneLineOnStderrAndAnErrorExit)
{
    DemoServer busy(demoWww);
    ASSERT_TRUE(busy.Start("127.0.0.1", 0));

    const std::vector<std::vector<std::string>> cases = {
        {"--port", "http"},
        {"--port", "70000"},
        {"--port"},
        {"--colour"},
        {"--root", std::string(QUILLMARK_DEMO_DIR) + "/no-such-folder", "--port", "0"},
        {"--port", std::to_string(busy.Port())},
    };
    for (const std::vector<std::string>& arguments : cases) {
        SCOPED_TRACE(arguments.front() + (arguments.size() > 1 ? " " + arguments[1] : ""));
        ServerProcess process(arguments);
        const std::optional<int> code = process.Wait();
        ASSERT_TRUE(code);
        EXPECT_NE(*code, 0);
        const std::string error = process.ReadErrors();
        EXPECT_EQ(error.rfind("quillmark-demo-server: ", 0), 0u) << error;
        EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 1) << error;
        EXPECT_EQ(error.back(), '\n');
        EXPECT_EQ(process.ReadRest(), "");
    }
}

} // namespace
