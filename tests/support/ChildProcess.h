#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// A program started with fork and exec whose standard output and standard
// error come back through pipes, so that it can say how far it got and what
// went wrong. A child still running when the object goes is killed and
// reaped.
class ChildProcess
{
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts `arguments[0]` with `arguments`; false, with `error` set, when
    // the program cannot be started.
    bool Start(const std::vector<std::string>& arguments, std::string* error);

    // Reads the next byte of the child's output; false when the output
    // ends, or nothing comes within `timeout`.
    bool ReadByte(char& byte, std::chrono::milliseconds timeout);
    // The next line of output without its line end; nothing when the output
    // ends first or the line does not come within `timeout`.
    std::optional<std::string> ReadLine(std::chrono::milliseconds timeout);
    // Everything the child writes from now until its output closes. Call it
    // once the child has ended.
    std::string ReadRest();
    // Everything the child wrote to its standard error. Call it once the
    // child has ended.
    std::string ReadErrors();

    pid_t Pid() const { return pid; }
    void Kill(int signal);
    // Waits for the child to end and returns its status as waitpid gives it.
    int Wait();
    // Waits at most `timeout`; the exit code of a child that ended normally,
    // nothing otherwise (still running, killed by a signal).
    std::optional<int> WaitForExit(std::chrono::milliseconds timeout);

private:
    pid_t pid = -1;
    int output = -1;
    int errors = -1;
};

// Runs `work` in a forked copy of this process and returns the fields it
// gives back. The copy may change its own limits, mounts and signal
// dispositions freely: nothing of that reaches this process. `exited` tells
// whether the copy ended normally. Call only while this process runs a
// single thread.
std::vector<std::string> RunForked(
    const std::function<std::vector<std::string>()>& work, bool* exited);
