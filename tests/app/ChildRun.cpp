#include "tests/app/ChildRun.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

std::string ReadWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

ChildResult RunCorvane(const std::string& folder, const ChildRequest& request)
{
    const std::string outPath = folder + "/child-out.txt";
    const std::string errPath = folder + "/child-err.txt";
    std::vector<std::string> arguments{CORVANE_BINARY};
    arguments.insert(arguments.end(), request.arguments.begin(), request.arguments.end());
    std::vector<std::string> environment{"XDG_CONFIG_HOME=" + folder + "/config", "CORVANE_REALTIME=0",
                                         "CORVANE_SEED=1"};
    environment.insert(environment.end(), request.environment.begin(), request.environment.end());

    // Everything the child needs is built before the fork.
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    // Ours first: the first of two settings of a name is the one read.
    std::vector<char*> envp;
    for (std::string& setting : environment)
        envp.push_back(setting.data());
    for (char** inherited = environ; *inherited != nullptr; ++inherited)
        envp.push_back(*inherited);
    envp.push_back(nullptr);

    const pid_t child = fork();
    if (child == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1);
        dup2(err, 2);
        if (request.asUnprivilegedUser && geteuid() == 0) {
            constexpr uid_t kNobody = 65534;
            if (setgid(kNobody) != 0 || setuid(kNobody) != 0)
                _exit(126);
        }
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }

    ChildResult result;
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(static_cast<long>(request.timeoutSeconds * 1000));
    int status = 0;
    rusage usage{};
    for (;;) {
        const pid_t done = wait4(child, &status, WNOHANG, &usage);
        if (done == child)
            break;
        if (std::chrono::steady_clock::now() > deadline) {
            result.timedOut = true;
            kill(child, SIGKILL);
            wait4(child, &status, 0, &usage);
            break;
        }
        if (request.whileRunning)
            request.whileRunning(child);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        result.signal = WTERMSIG(status);
    result.maxRssKb = usage.ru_maxrss;
    result.out = ReadWhole(outPath);
    result.err = ReadWhole(errPath);
    return result;
}

std::string DisorderOf(const ChildResult& result)
{
    std::string problem;
    if (result.timedOut)
        problem = "did not end within its time";
    else if (result.signal != 0)
        problem = "ended by signal " + std::to_string(result.signal);
    else if (result.exitCode < 0 || result.exitCode > 2)
        problem = "exit code " + std::to_string(result.exitCode);
    else if (result.err.find("Sanitizer") != std::string::npos || result.err.find("runtime error:") != std::string::npos)
        problem = "sanitizer report";
    else if (result.exitCode != 0 && result.err.empty())
        problem = "failed without a message";
    if (problem.empty())
        return problem;
    return problem + "\n--- stderr:\n" + result.err.substr(0, 4000);
}
