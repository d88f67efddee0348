#pragma once
// Running real programs from the tests: sox's soxi to read what the
// recorder wrote, the studio program itself, and a recording process that
// the test kills in the middle of a take. Every wait is bounded.

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace machines_test {

struct ProgramRun {
    int exitCode = -1;
    std::string out;
};

/// Runs argv[0] (searched in PATH) to its end; standard error is dropped.
ProgramRun RunProgram(const std::vector<std::string>& argv);

/// soxi's answer for one option (-s frames, -r rate, -c channels, -b bits,
/// -e encoding), without the line end; "" when soxi fails.
std::string Soxi(const char* option, const std::string& path);

/// A child process whose standard output the test reads line by line.
class CChildProcess {
public:
    CChildProcess() = default;
    /// Kills the child if it still runs.
    ~CChildProcess();
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;

    bool Start(const std::vector<std::string>& argv);
    /// The next line of its output, or "" when none came within bound.
    std::string ReadLine(std::chrono::milliseconds bound);
    /// Waits for it to end by itself and returns its exit code; -1 when it
    /// ended by a signal, or was still running after bound and was killed.
    int Wait(std::chrono::milliseconds bound);
    /// SIGKILL, then waits for it; returns the signal that ended it (0 when
    /// it had ended by itself).
    int Kill();

private:
    pid_t pid = -1;
    int output = -1;
    std::string pending;
};

} // namespace machines_test
