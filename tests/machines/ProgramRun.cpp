#include "tests/machines/ProgramRun.h"

#include <cerrno>
#include <csignal>
#include <thread>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace machines_test {

namespace {

pid_t Spawn(const std::vector<std::string>& argv, int* readEnd)
{
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (pid < 0) {
        close(pipeEnds[0]);
        return -1;
    }
    *readEnd = pipeEnds[0];
    return pid;
}

} // namespace

ProgramRun RunProgram(const std::vector<std::string>& argv)
{
    ProgramRun run;
    int readEnd = -1;
    const pid_t pid = Spawn(argv, &readEnd);
    if (pid < 0)
        return run;
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(readEnd, buffer, sizeof buffer);
        if (got > 0)
            run.out.append(buffer, static_cast<std::size_t>(got));
        else if (got == 0 || errno != EINTR)
            break;
    }
    close(readEnd);
    int status = 0;
    waitpid(pid, &status, 0);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string Soxi(const char* option, const std::string& path)
{
    const ProgramRun run = RunProgram({"soxi", option, path});
    if (run.exitCode != 0)
        return "";
    std::string answer = run.out;
    while (!answer.empty() && (answer.back() == '\n' || answer.back() == '\r'))
        answer.pop_back();
    return answer;
}

CChildProcess::~CChildProcess()
{
    Kill();
}

bool CChildProcess::Start(const std::vector<std::string>& argv)
{
    pid = Spawn(argv, &output);
    return pid > 0;
}

std::string CChildProcess::ReadLine(std::chrono::milliseconds bound)
{
    const auto deadline = std::chrono::steady_clock::now() + bound;
    for (;;) {
        const std::size_t end = pending.find('\n');
        if (end != std::string::npos) {
            std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            return line;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || output < 0)
            return "";
        pollfd waitFor{output, POLLIN, 0};
        if (poll(&waitFor, 1, static_cast<int>(left.count())) <= 0)
            continue;
        char buffer[512];
        const ssize_t got = read(output, buffer, sizeof buffer);
        if (got <= 0)
            return "";
        pending.append(buffer, static_cast<std::size_t>(got));
    }
}

int CChildProcess::Wait(std::chrono::milliseconds bound)
{
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (pid > 0) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            pid = -1;
            if (output >= 0)
                close(output);
            output = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        if (std::chrono::steady_clock::now() > deadline)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    Kill();
    return -1;
}

int CChildProcess::Kill()
{
    if (pid <= 0)
        return 0;
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    pid = -1;
    if (output >= 0)
        close(output);
    output = -1;
    return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
}

} // namespace machines_test
