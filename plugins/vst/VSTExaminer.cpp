#include "plugins/vst/VSTExaminer.h"

#include <cerrno>
#include <cstdio>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <nlohmann/json.hpp>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/Directory.h"
#include "platform/Paths.h"

extern char** environ;

namespace {

struct ChildResult {
    bool started = false;
    bool timedOut = false;
    int status = 0;
    std::string output;
};

ChildResult RunHelper(const std::string& helper, const std::string& file, double timeoutSeconds)
{
    ChildResult result;
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    // Plug-ins chatter on standard error; a scan stays quiet unless asked.
    if (std::getenv("CORVANE_VST_SCAN_VERBOSE") == nullptr)
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // A group of its own, so that a hung plug-in's own children end with it.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);

    char* argv[] = {const_cast<char*>(helper.c_str()), const_cast<char*>(file.c_str()), nullptr};
    pid_t child = 0;
    const int spawned = posix_spawn(&child, helper.c_str(), &actions, &attributes, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(pipeFds[1]);
    if (spawned != 0) {
        close(pipeFds[0]);
        return result;
    }
    result.started = true;

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    char buffer[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            result.timedOut = true;
            break;
        }
        pollfd waiting{pipeFds[0], POLLIN, 0};
        const int ready = poll(&waiting, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            continue;
        const ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        result.output.append(buffer, static_cast<std::size_t>(n));
        // The answer is one line; a plug-in's own child process may keep
        // the pipe open long after it.
        if (result.output.find('\n') != std::string::npos || result.output.size() > (1u << 20))
            break;
    }
    close(pipeFds[0]);
    if (result.timedOut)
        kill(-child, SIGKILL);
    // The answer is complete once the pipe closes; the helper ends right
    // after, so this wait is short, except for a helper whose plug-in
    // handed the pipe to a child of its own: the group is ended then.
    for (int tries = 0;; ++tries) {
        const pid_t done = waitpid(child, &result.status, tries < 200 ? WNOHANG : 0);
        if (done == child || (done < 0 && errno != EINTR))
            break;
        if (tries == 200)
            kill(-child, SIGKILL);
        usleep(5000);
    }
    return result;
}

} // namespace

std::string DefaultScannerPath()
{
    if (const char* path = std::getenv("CORVANE_VST_SCANNER"); path != nullptr && path[0] != '\0')
        return path;
    return platform::JoinPath(platform::FolderOf(platform::ExecutablePath()), "corvane-vstscan");
}

double DefaultScanTimeoutSeconds()
{
    if (const char* text = std::getenv("CORVANE_VST_SCAN_TIMEOUT"); text != nullptr) {
        const double seconds = std::strtod(text, nullptr);
        if (seconds > 0.0)
            return seconds;
    }
    return 10.0;
}

VSTScanRecord ExamineVstFile(const std::string& path, const VSTExamineOptions& options)
{
    VSTScanRecord record;
    record.path = path;
    ReadFileIdentity(path, &record.size, &record.modifiedNs);
    const std::string helper = options.helperPath.empty() ? DefaultScannerPath() : options.helperPath;
    const ChildResult child = RunHelper(helper, path, options.timeoutSeconds);
    if (!child.started) {
        record.reason = "the scanner " + helper + " could not be started";
        record.retry = true;
        return record;
    }
    if (child.timedOut) {
        char text[64];
        std::snprintf(text, sizeof text, "timed out after %g s", options.timeoutSeconds);
        record.reason = text;
        return record;
    }
    if (WIFSIGNALED(child.status)) {
        record.reason = "crashed (signal " + std::to_string(WTERMSIG(child.status)) + ", " +
                        strsignal(WTERMSIG(child.status)) + ")";
        return record;
    }
    const nlohmann::json answer = nlohmann::json::parse(child.output, nullptr, false);
    if (!answer.is_object()) {
        record.reason = "the examination ended without an answer (exit code " +
                        std::to_string(WIFEXITED(child.status) ? WEXITSTATUS(child.status) : -1) + ")";
        return record;
    }
    if (answer.contains("error") || !WIFEXITED(child.status) || WEXITSTATUS(child.status) != 0) {
        record.reason = answer.value("error", std::string("failed"));
        return record;
    }
    record.ok = true;
    record.entry = answer.value("entry", std::string{}) == "main" ? VSTEntryKind::Main : VSTEntryKind::PluginMain;
    record.uniqueId = answer.value("uniqueId", 0);
    record.inputs = answer.value("inputs", 0);
    record.outputs = answer.value("outputs", 0);
    record.parameters = answer.value("parameters", 0);
    record.programs = answer.value("programs", 0);
    record.flags = answer.value("flags", 0);
    record.midi = answer.value("midi", false);
    record.effectName = answer.value("effectName", std::string{});
    record.vendor = answer.value("vendor", std::string{});
    return record;
}
