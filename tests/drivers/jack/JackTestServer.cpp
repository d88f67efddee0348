#include "tests/drivers/jack/JackTestServer.h"

#include <jack/jack.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "platform/audio/AsioDriverList.h"

namespace jack_test {

namespace {

// The dummy backend runs without real-time threads, so the tests take
// nothing from other work on the machine; the drivers' own threads likewise.
// The driver's client name is this process's own.
const bool environmentSet = [] {
    setenv("CORVANE_REALTIME", "0", 1);
    return setenv("CORVANE_JACK_CLIENT_NAME", ClientNameOfThisProcess("Corvane Studio").c_str(), 1) == 0;
}();

constexpr auto kStartBound = std::chrono::seconds(10);
constexpr auto kStopBound = std::chrono::seconds(5);

std::string UniqueName()
{
    static std::atomic<int> counter{0};
    return "corvane-test-" + std::to_string(getpid()) + "-" + std::to_string(counter.fetch_add(1));
}

bool Reachable(const std::string& server)
{
    platform::audio::QuietJack quiet;
    jack_status_t status{};
    jack_client_t* client = jack_client_open(ClientNameOfThisProcess("corvane-ready").c_str(),
                                             static_cast<jack_options_t>(JackNoStartServer | JackServerName), &status,
                                             server.c_str());
    if (client == nullptr)
        return false;
    jack_client_close(client);
    return true;
}

bool Exited(pid_t pid)
{
    int status = 0;
    const pid_t result = waitpid(pid, &status, WNOHANG);
    return result == pid || (result < 0 && errno == ECHILD);
}

std::string ReadLog(const std::string& path)
{
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

std::string ClientNameOfThisProcess(const char* base)
{
    return std::string(base) + " " + std::to_string(getpid());
}

void PointJackNowhere()
{
    setenv("JACK_DEFAULT_SERVER", ("corvane-test-nowhere-" + std::to_string(getpid())).c_str(), 1);
}

CJackTestServer::~CJackTestServer()
{
    Stop();
    if (name.empty())
        return;
    std::remove(logPath.c_str());
    // Semaphores are named "jack_sem.<uid>_<server>_<client>".
    const std::string mark = "_" + name + "_";
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/shm", ignored)) {
        const std::string file = entry.path().filename().string();
        if (file.rfind("jack_sem.", 0) == 0 && file.find(mark) != std::string::npos)
            std::filesystem::remove(entry.path(), ignored);
    }
}

bool CJackTestServer::Start(int sampleRate, int periodFrames, int playbackChannels, std::string* why)
{
    (void)environmentSet;
    Stop();
    if (name.empty()) {
        name = UniqueName();
        logPath = "/tmp/" + name + ".log";
    }
    setenv("JACK_DEFAULT_SERVER", name.c_str(), 1);

    const std::vector<std::string> arguments = {
        "jackd", "--no-realtime", "-n", name, "-d", "dummy", "-r", std::to_string(sampleRate),
        "-p", std::to_string(periodFrames), "-P", std::to_string(playbackChannels), "-C", "0"};
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const pid_t parent = getpid();

    const pid_t child = fork();
    if (child == 0) {
        // Only async-signal-safe calls until exec.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent)
            _exit(1);
        if (log >= 0) {
            dup2(log, STDOUT_FILENO);
            dup2(log, STDERR_FILENO);
        }
        execvp("jackd", argv.data());
        _exit(127);
    }
    if (log >= 0)
        close(log);
    if (child < 0) {
        if (why != nullptr)
            *why = "fork failed";
        return false;
    }
    pid = child;

    const auto deadline = std::chrono::steady_clock::now() + kStartBound;
    while (!Reachable(name)) {
        if (Exited(pid) || std::chrono::steady_clock::now() >= deadline) {
            if (why != nullptr)
                *why = "jackd did not come up:\n" + ReadLog(logPath);
            Stop();
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

void CJackTestServer::Stop(int signal)
{
    if (pid <= 0)
        return;
    kill(pid, signal);
    const auto deadline = std::chrono::steady_clock::now() + kStopBound;
    while (!Exited(pid)) {
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    pid = -1;
    if (signal == SIGKILL) {
        // A killed server keeps its slot in JACK's registry of servers,
        // which has eight and frees a slot only for a new server of the
        // same name: one started and stopped in order frees it.
        if (Start(48000, 256, 1))
            Stop();
    }
}

} // namespace jack_test
