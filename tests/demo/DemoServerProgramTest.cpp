#include "TestData.h"
#include "demo/DemoServer.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <optional>
#include <poll.h>
#include <regex>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

const std::string demoWww = std::string(QUILLMARK_DEMO_DIR) + "/www";
constexpr int kTimeoutMs = 10000;

// quillmark-demo-server run as a child process, its output read through pipes.
class ServerProcess
{
public:
    explicit ServerProcess(const std::vector<std::string>& arguments)
    {
        int out[2], err[2];
        if (pipe(out) != 0 || pipe(err) != 0)
            throw std::runtime_error("pipe failed");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addclose(&actions, err[0]);

        std::vector<std::string> strings {QUILLMARK_DEMO_SERVER_EXE};
        strings.insert(strings.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& s : strings)
            argv.push_back(s.data());
        argv.push_back(nullptr);
        const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        close(err[1]);
        stdoutFd = out[0];
        stderrFd = err[0];
        if (spawned != 0) {
            pid = -1;
            throw std::runtime_error("cannot start " + strings.front());
        }
    }

    ~ServerProcess()
    {
        if (pid > 0 && !exitStatus) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        close(stdoutFd);
        close(stderrFd);
    }

    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    // The first line of standard output, or nothing within the time-out.
    std::optional<std::string> ReadLine()
    {
        std::string line;
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(kTimeoutMs);
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd fd {stdoutFd, POLLIN, 0};
            if (poll(&fd, 1, 100) <= 0)
                continue;
            char c = 0;
            if (read(stdoutFd, &c, 1) != 1)
                return std::nullopt;
            if (c == '\n')
                return line;
            line += c;
        }
        return std::nullopt;
    }

    // Waits for the exit; the exit code, or nothing when it did not end
    // normally within the time-out.
    std::optional<int> Wait()
    {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(kTimeoutMs);
        while (!exitStatus && std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid)
                exitStatus = status;
            else
                poll(nullptr, 0, 10);
        }
        if (!exitStatus || !WIFEXITED(*exitStatus))
            return std::nullopt;
        return WEXITSTATUS(*exitStatus);
    }

    // Everything left on standard error; call after the exit.
    std::string ReadStderr() { return ReadAll(stderrFd); }
    std::string ReadStdout() { return ReadAll(stdoutFd); }

    pid_t Pid() const { return pid; }

private:
    static std::string ReadAll(int fd)
    {
        std::string text;
        char buffer[512];
        ssize_t count = 0;
        while ((count = read(fd, buffer, sizeof buffer)) > 0)
            text.append(buffer, static_cast<std::size_t>(count));
        return text;
    }

    pid_t pid = -1;
    int stdoutFd = -1;
    int stderrFd = -1;
    std::optional<int> exitStatus;
};

class StopSignalTest : public ::testing::TestWithParam<int>
{
};

TEST_P(StopSignalTest, ServesUntilTheSignalThenExitsCleanly)
{
    ServerProcess process({"--port", "0", "--root", demoWww});
    const std::optional<std::string> line = process.ReadLine();
    ASSERT_TRUE(line) << process.ReadStderr();
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
    EXPECT_EQ(process.ReadStdout(), "");
    EXPECT_EQ(process.ReadStderr(), "");
}

INSTANTIATE_TEST_SUITE_P(Signals, StopSignalTest, ::testing::Values(SIGINT, SIGTERM));

TEST(DemoServerProgram, HelpPrintsUsage)
{
    ServerProcess process({"--help"});
    EXPECT_EQ(process.Wait(), std::optional<int>(0));
    EXPECT_EQ(process.ReadStdout(), "usage: quillmark-demo-server [--port N] [--root DIR]\n");
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
        const std::string error = process.ReadStderr();
        EXPECT_EQ(error.rfind("quillmark-demo-server: ", 0), 0u) << error;
        EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 1) << error;
        EXPECT_EQ(error.back(), '\n');
        EXPECT_EQ(process.ReadStdout(), "");
    }
}

} // namespace
