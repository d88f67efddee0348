#pragma once
// Helpers shared by the platform tests: a scratch folder on the real file
// system, an environment variable restored after the test, and a look at
// whether another thread of this process is blocked.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <sys/types.h>
#include <thread>

namespace platform_test {

/// A fresh folder under the system's temporary folder, removed with
/// everything in it when the object goes.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return path; }
    /// Writes text to name inside the folder and returns the full path.
    std::string WriteFile(const std::string& name, const std::string& text) const;
    std::string MakeFolder(const std::string& name) const;

private:
    std::string path;
};

/// Sets (or, with nullopt, unsets) a variable for the life of the object and
/// puts the old value back afterwards.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, std::optional<std::string> value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string name;
    std::optional<std::string> saved;
};

/// The bound every wait in these tests is given: far beyond what a working
/// system needs, so that it only turns a hang into a failure.
constexpr std::chrono::seconds kGenerousBound{30};

/// Polls condition until it holds; false when bound passes first.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds bound = kGenerousBound);

/// Turns a deadlock into a failure: if Finish is not called within the
/// bound, Fired() becomes true and rescue is called every few milliseconds
/// (to release whatever the stuck threads wait on) until Finish.
class Watchdog {
public:
    explicit Watchdog(std::function<void()> rescue, std::chrono::milliseconds bound = kGenerousBound);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    void Finish();
    bool Fired() const { return fired.load(); }

private:
    std::function<void()> rescue;
    std::mutex lock;
    std::condition_variable finished;
    bool done = false;
    std::atomic<bool> fired{false};
    std::thread watcher;
};

/// Kernel id of the calling thread.
pid_t CurrentTid();
/// True when the kernel reports thread tid of this process as sleeping
/// ('S'), i.e. parked in a wait rather than running or runnable.
bool IsThreadSleeping(pid_t tid);

} // namespace platform_test
