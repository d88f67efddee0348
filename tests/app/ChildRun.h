#pragma once
// Runs the real corvane program as a child process with a time limit, its
// own options folder and captured output, and tells how it ended: exit
// code or signal, whether it had to be killed, its peak memory.

#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

struct ChildResult {
    bool timedOut = false;
    int exitCode = -1;     // -1 when it did not exit normally
    int signal = 0;        // the signal that ended it, or 0
    long maxRssKb = 0;     // peak resident memory
    std::string out;
    std::string err;
};

struct ChildRequest {
    std::vector<std::string> arguments;    // after the program's path
    std::vector<std::string> environment;  // "NAME=value", added to the test's own
    double timeoutSeconds = 240.0;
    /// Run as the user "nobody" when the test runs as root, so that a
    /// folder without write permission refuses the child as it would a
    /// user. The folder must then be readable by everyone.
    bool asUnprivilegedUser = false;   // generous: the machine may be busy with other builds
    /// Called about every 10 ms while the child runs, with its id.
    std::function<void(pid_t)> whileRunning;
};

/// Runs corvane in folder (the options go to folder/config).
ChildResult RunCorvane(const std::string& folder, const ChildRequest& request);

/// Empty when the child ended in order: within its time, by exit code 0, 1
/// or 2, with one message (some text on standard error when it failed) and
/// no sanitizer report; else what went wrong, with its output.
std::string DisorderOf(const ChildResult& result);
