#pragma once
// A JACK server of the test's own: `jackd -n <unique name> -d dummy`, not
// real-time, started by the test and stopped by it (and, should the test
// program die first, by the kernel: the server is told to end when its
// parent does). JACK_DEFAULT_SERVER names it, so every client of the test
// process, the drivers' included, reaches this server and no other.
//
// Every client of a test process carries the process id in its name (the
// driver's through CORVANE_JACK_CLIENT_NAME): JACK 2 keeps a client's
// notification socket under its name alone, so equal names joining two
// servers at once, from tests running side by side, would fail each other.

#include <string>
#include <sys/types.h>

namespace jack_test {

class CJackTestServer {
public:
    CJackTestServer() = default;
    /// Stops the server if it runs, and removes what JACK leaves in /dev/shm
    /// under this server's name (a server that ends while clients are
    /// joined does not remove their semaphores).
    ~CJackTestServer();
    CJackTestServer(const CJackTestServer&) = delete;
    CJackTestServer& operator=(const CJackTestServer&) = delete;

    /// Starts a server with the dummy backend and waits, up to a bound, until
    /// a client can connect. A second Start after Stop reuses the name.
    /// False (with the server's log in why) when it does not come up.
    bool Start(int sampleRate, int periodFrames, int playbackChannels, std::string* why = nullptr);
    /// Asks the server to end (SIGTERM; SIGKILL ends it without a word to
    /// its clients, and a server of the same name is then started and
    /// stopped to free its slot in JACK's registry) and waits for it,
    /// killing it after a bound.
    void Stop(int signal = 15);
    bool IsRunning() const { return pid > 0; }
    const std::string& Name() const { return name; }

private:
    std::string name;
    std::string logPath;
    pid_t pid = -1;
};

/// Names the server no client of this process can reach.
void PointJackNowhere();

/// "<base> <process id>": a client name no other test process uses.
std::string ClientNameOfThisProcess(const char* base);

} // namespace jack_test
