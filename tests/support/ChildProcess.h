#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

// A program started with fork and exec whose standard output comes back
// through a pipe, so that it can say how far it got. A child still running
// when the object goes is killed and reaped.
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
    // Everything the child writes from now until its output closes. Call it
    // once the child has ended.
    std::string ReadRest();

    void Kill(int signal);
    // Waits for the child to end and returns its status as waitpid gives it.
    int Wait();

private:
    pid_t pid = -1;
    int output = -1;
};

// Runs `work` in a forked copy of this process and returns the fields it
// gives back. The copy may change its own limits, mounts and signal
// dispositions freely: nothing of that reaches this process. `exited` tells
// whether the copy ended normally. Call only while this process runs a
// single thread.
std::vector<std::string> RunForked(
    const std::function<std::vector<std::string>()>& work, bool* exited);
