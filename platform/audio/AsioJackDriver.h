#pragma once
// AsioJackDriver: an ASIO-style driver over JACK. Loading it makes this
// process a JACK client named "Corvane Studio" (see JackClientName); its
// outputs are the server's physical playback ports, its one sample rate and
// buffer size are the server's, and its samples are 32-bit float. Each output gets two
// halves that the host's buffer switch fills in turn from the JACK process
// callback; the half just filled is copied to the output's port before the
// callback returns. Xruns reported by JACK are counted. When the server
// goes away the driver tells the lost handler once, from a thread of its
// own, and answers every later call without touching JACK.
//
// Threads: everything but the buffer switch on the user-interface thread;
// the buffer switch on JACK's process thread, where nothing allocates or
// locks.

#include <semaphore.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio/AsioDriverList.h"
#include "platform/audio/AsioTypes.h"

struct _jack_client;
struct _jack_port;

namespace platform::audio {

class AsioJackDriver {
public:
    AsioJackDriver();
    /// Unloads.
    ~AsioJackDriver();
    AsioJackDriver(const AsioJackDriver&) = delete;
    AsioJackDriver& operator=(const AsioJackDriver&) = delete;

    /// Becomes a client of the entry's server (unloading first); false when
    /// the server cannot be reached. Never starts a server.
    bool Load(const AsioDriverEntry& entry);
    /// Stops, disposes the buffers and leaves the server.
    void Unload();
    bool IsLoaded() const { return client != nullptr; }
    /// Whether the loaded driver can be used: loaded and not lost.
    bool Init() const { return client != nullptr && !IsLost(); }

    AsioError GetChannels(std::int32_t* inputs, std::int32_t* outputs);
    /// The server's buffer size is the only one: minimum, maximum and
    /// preferred alike, granularity 0.
    AsioError GetBufferSize(std::int32_t* minimum, std::int32_t* maximum, std::int32_t* preferred,
                            std::int32_t* granularity);
    AsioError CanSampleRate(double rate);
    AsioError GetSampleRate(double* rate);
    /// Only the server's rate is accepted.
    AsioError SetSampleRate(double rate);
    AsioError GetChannelInfo(AsioChannelInfo* info);
    /// Registers one output port per record ("Channel %i" after its channel
    /// number) and points each record at its two halves. Outputs only.
    AsioError CreateBuffers(AsioBufferInfo* infos, std::int32_t count, std::int32_t bufferSize,
                            const AsioCallbacks* callbacks);
    AsioError DisposeBuffers();
    /// Activates the client and connects each output to the playback port
    /// of the same number.
    AsioError Start();
    AsioError Stop();
    /// The halves are taken when the buffer switch returns; nothing to do.
    AsioError OutputReady() { return client != nullptr ? kAsioOk : kAsioNotPresent; }

    /// Set before Load; called at most once per Load.
    void SetLostHandler(AsioLostHandler handler, void* context);
    bool IsLost() const { return lost.load(std::memory_order_acquire); }
    std::uint32_t XrunCount() const { return xruns.load(std::memory_order_relaxed); }
    /// Cycles left silent because the server's period no longer matched
    /// the buffers' size.
    std::uint32_t MismatchedCycles() const { return mismatched.load(std::memory_order_relaxed); }
    /// The full JACK name of an output port, "" when it has none.
    std::string OutputPortName(int index) const;

private:
    friend struct JackCallbacks;   // JACK's callbacks, which need JACK's types

    void Process(std::uint32_t frames) noexcept;
    void WatchForLoss();
    void UnregisterPorts();
    std::vector<std::string> PhysicalPorts(unsigned long direction) const;

    _jack_client* client = nullptr;
    std::vector<_jack_port*> ports;
    std::vector<float> halves;      // per output: half 0, then half 1
    std::int32_t bufferSize = 0;
    AsioCallbacks callbacks;
    int index = 1;                  // the half the last switch filled; process thread only
    std::atomic<bool> buffersReady{false};
    std::atomic<bool> active{false};
    std::atomic<bool> lost{false};
    std::atomic<std::uint32_t> xruns{0};
    std::atomic<std::uint32_t> mismatched{0};

    AsioLostHandler lostHandler = nullptr;
    void* lostContext = nullptr;
    std::thread watcher;
    sem_t lossSignal;
    std::atomic<bool> watcherQuit{false};
    char lostReason[256] = {};
};

} // namespace platform::audio
