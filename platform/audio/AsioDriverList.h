#pragma once
// The ASIO-style drivers installed on this machine. Over JACK there is at
// most one: the JACK server a client of this process would reach (named by
// JACK_DEFAULT_SERVER, "default" without it), when it is running. Listing
// never starts a server. User-interface thread.

#include <string>
#include <vector>

namespace platform::audio {

struct AsioDriverEntry {
    std::string name;         // as the user sees it: "JACK (default)"
    std::string serverName;   // what a client connects to
};

/// The server JACK clients of this process connect to.
std::string DefaultJackServer();

/// The name the driver joins a server under: "Corvane Studio", or
/// CORVANE_JACK_CLIENT_NAME when set. JACK 2 keeps a client's notification
/// socket under its name alone, so two clients of one name joining two
/// servers at the same moment can make each other fail; two instances of
/// the program (or tests running side by side) give themselves names apart.
std::string JackClientName();

std::vector<AsioDriverEntry> ListAsioDrivers();

/// Keeps JACK's own messages off standard error while it lives: failing to
/// reach a server is an answer here, not an error. Process-wide.
class QuietJack {
public:
    QuietJack();
    ~QuietJack();
    QuietJack(const QuietJack&) = delete;
    QuietJack& operator=(const QuietJack&) = delete;

private:
    void (*savedError)(const char*);
    void (*savedInfo)(const char*);
};

} // namespace platform::audio
