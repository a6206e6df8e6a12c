#include "support/ChildProcess.h"

#include "core/common/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string ReadAll(int fd)
{
    std::string bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return bytes;
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
}

// Fields as "<length>:<bytes>", one after the other.
std::string Pack(const std::vector<std::string>& fields)
{
    std::string packed;
    for (const std::string& field : fields)
        packed += std::to_string(field.size()) + ":" + field;
    return packed;
}

std::vector<std::string> Unpack(const std::string& packed)
{
    std::vector<std::string> fields;
    for (std::size_t at = 0; at < packed.size();) {
        const std::size_t colon = packed.find(':', at);
        if (colon == std::string::npos)
            break;
        const std::size_t length = std::stoul(packed.substr(at, colon - at));
        fields.push_back(packed.substr(colon + 1, length));
        at = colon + 1 + length;
    }
    return fields;
}

} // namespace

ChildProcess::~ChildProcess()
{
    if (pid > 0) {
        Kill(SIGKILL);
        Wait();
    }
    if (output >= 0)
        ::close(output);
    if (errors >= 0)
        ::close(errors);
}

bool ChildProcess::Start(const std::vector<std::string>& arguments, std::string* error)
{
    // Everything the child needs is ready before the fork: between fork and
    // exec it only moves descriptors.
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    int ends[2];
    int errorEnds[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        *error = std::string("pipe: ") + std::strerror(errno);
        return false;
    }
    if (::pipe2(errorEnds, O_CLOEXEC) != 0) {
        *error = std::string("pipe: ") + std::strerror(errno);
        ::close(ends[0]);
        ::close(ends[1]);
        return false;
    }
    pid = ::fork();
    if (pid < 0) {
        *error = std::string("fork: ") + std::strerror(errno);
        for (int end : {ends[0], ends[1], errorEnds[0], errorEnds[1]})
            ::close(end);
        return false;
    }
    if (pid == 0) {
        // dup2 clears close-on-exec on the copy.
        if (::dup2(ends[1], STDOUT_FILENO) < 0 || ::dup2(errorEnds[1], STDERR_FILENO) < 0)
            ::_exit(126);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(ends[1]);
    ::close(errorEnds[1]);
    output = ends[0];
    errors = errorEnds[0];
    return true;
}

bool ChildProcess::ReadByte(char& byte, std::chrono::milliseconds timeout)
{
    pollfd ready {output, POLLIN, 0};
    int count;
    do
        count = ::poll(&ready, 1, static_cast<int>(timeout.count()));
    while (count < 0 && errno == EINTR);
    if (count <= 0)
        return false;
    ssize_t got;
    do
        got = ::read(output, &byte, 1);
    while (got < 0 && errno == EINTR);
    return got == 1;
}

std::optional<std::string> ChildProcess::ReadLine(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::string line;
    char byte = 0;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() < 0 || !ReadByte(byte, left))
            return std::nullopt;
        if (byte == '\n')
            return line;
        line += byte;
    }
}

std::string ChildProcess::ReadRest()
{
    return ReadAll(output);
}

std::string ChildProcess::ReadErrors()
{
    return ReadAll(errors);
}

void ChildProcess::Kill(int signal)
{
    if (pid > 0)
        ::kill(pid, signal);
}

int ChildProcess::Wait()
{
    int status = 0;
    while (pid > 0 && ::waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
    pid = -1;
    return status;
}

std::optional<int> ChildProcess::WaitForExit(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (pid > 0) {
        int status = 0;
        const pid_t ended = ::waitpid(pid, &status, WNOHANG);
        if (ended == pid) {
            pid = -1;
            if (!WIFEXITED(status))
                return std::nullopt;
            return WEXITSTATUS(status);
        }
        if ((ended < 0 && errno != EINTR) || std::chrono::steady_clock::now() >= deadline)
            return std::nullopt;
        ::poll(nullptr, 0, 10);
    }
    return std::nullopt;
}

std::vector<std::string> RunForked(
    const std::function<std::vector<std::string>()>& work, bool* exited)
{
    *exited = false;
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return {};
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(ends[0]);
        ::close(ends[1]);
        return {};
    }
    if (child == 0) {
        ::close(ends[0]);
        int code = 0;
        try {
            if (!WriteAll(ends[1], Pack(work())))
                code = 2;
        } catch (...) {
            code = 3;
        }
        // No exit handlers: they belong to the parent, the test runner.
        ::_exit(code);
    }
    ::close(ends[1]);
    const std::string packed = ReadAll(ends[0]);
    ::close(ends[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) { }
    *exited = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return Unpack(packed);
}
