#pragma once
// A second JACK client of the test's own: input ports that record what
// reaches them, so a test can hear what the driver under test plays. The
// process callback only copies into storage sized up front.

#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

struct _jack_client;
struct _jack_port;

namespace jack_test {

class CJackProbeClient {
public:
    /// Joins the JACK_DEFAULT_SERVER server as "corvane-probe <pid>" with inputs
    /// "in_1" ... and keeps up to capacityFrames frames per input.
    CJackProbeClient(int inputs, std::size_t capacityFrames);
    ~CJackProbeClient();
    CJackProbeClient(const CJackProbeClient&) = delete;
    CJackProbeClient& operator=(const CJackProbeClient&) = delete;

    bool IsOpen() const { return client != nullptr; }
    /// Connects a port of another client to input (0-based).
    bool Listen(const std::string& source, int input);
    /// Frames recorded so far (the same for every input).
    std::size_t Frames() const { return frames.load(std::memory_order_acquire); }
    /// The recorded samples of an input, from the first frame.
    std::vector<float> Recorded(int input) const;
    /// Forgets what was recorded and records anew.
    void Restart() { restart.store(true, std::memory_order_release); }
    /// Full names of the ports a port is connected to.
    std::vector<std::string> ConnectionsOf(const std::string& port) const;
    void Close();

private:
    static int Process(unsigned frames, void* probe);

    _jack_client* client = nullptr;
    std::vector<_jack_port*> ports;
    std::vector<std::vector<float>> recordings;
    std::size_t capacity;
    std::atomic<std::size_t> frames{0};
    std::atomic<bool> restart{false};
};

} // namespace jack_test
