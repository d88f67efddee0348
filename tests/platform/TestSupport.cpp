#include "TestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <sys/syscall.h>
#include <unistd.h>

namespace platform_test {

ScratchFolder::ScratchFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "corvane-platform-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    path = pattern;
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

std::string ScratchFolder::WriteFile(const std::string& name, const std::string& text) const
{
    const std::string full = path + "/" + name;
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out)
        throw std::runtime_error("can't write " + full);
    return full;
}

std::string ScratchFolder::MakeFolder(const std::string& name) const
{
    const std::string full = path + "/" + name;
    std::filesystem::create_directory(full);
    return full;
}

ScopedEnvironment::ScopedEnvironment(const char* variable, std::optional<std::string> value) : name(variable)
{
    if (const char* old = std::getenv(variable))
        saved = old;
    if (value)
        setenv(variable, value->c_str(), 1);
    else
        unsetenv(variable);
}

ScopedEnvironment::~ScopedEnvironment()
{
    if (saved)
        setenv(name.c_str(), saved->c_str(), 1);
    else
        unsetenv(name.c_str());
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds bound)
{
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

Watchdog::Watchdog(std::function<void()> rescueAction, std::chrono::milliseconds bound)
    : rescue(std::move(rescueAction))
{
    watcher = std::thread([this, bound] {
        std::unique_lock<std::mutex> guard(lock);
        if (finished.wait_for(guard, bound, [this] { return done; }))
            return;
        fired = true;
        while (!finished.wait_for(guard, std::chrono::milliseconds(5), [this] { return done; }))
            rescue();
    });
}

Watchdog::~Watchdog()
{
    Finish();
}

void Watchdog::Finish()
{
    {
        std::lock_guard<std::mutex> guard(lock);
        done = true;
    }
    finished.notify_all();
    if (watcher.joinable())
        watcher.join();
}

pid_t CurrentTid()
{
    return static_cast<pid_t>(syscall(SYS_gettid));
}

bool IsThreadSleeping(pid_t tid)
{
    std::ifstream stat("/proc/self/task/" + std::to_string(tid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return false;
    // "tid (comm) S ...": the command may hold spaces and parentheses, so the
    // state is found after the last ')'.
    const auto close = line.rfind(')');
    if (close == std::string::npos || close + 2 >= line.size())
        return false;
    return line[close + 2] == 'S';
}

} // namespace platform_test
