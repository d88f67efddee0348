#include "platform/audio/AsioJackDriver.h"

#include <jack/jack.h>
#include <pthread.h>

#include <cstdio>
#include <cstring>

namespace platform::audio {

struct JackCallbacks {
    static int Process(jack_nframes_t frames, void* driver)
    {
        // JACK ends its process thread with pthread_cancel when the client
        // is deactivated. Cancelled inside the engine (at a file write of a
        // recorder, say), the thread would unwind through code holding the
        // studio lock; held off here, the cancel takes effect in JACK's own
        // wait for the next cycle.
        int previous = 0;
        pthread_setcancelstate(PTHREAD_CANCEL_DISABLE, &previous);
        static_cast<AsioJackDriver*>(driver)->Process(frames);
        pthread_setcancelstate(previous, nullptr);
        return 0;
    }
    static int Xrun(void* driver)
    {
        static_cast<AsioJackDriver*>(driver)->xruns.fetch_add(1, std::memory_order_relaxed);
        return 0;
    }
    static int BufferSizeChanged(jack_nframes_t frames, void* driver)
    {
        // ASIO's way of saying so; a host that does not take the new size
        // gets silence from Process instead of overrun buffers.
        auto* self = static_cast<AsioJackDriver*>(driver);
        if (self->buffersReady.load() && static_cast<std::int32_t>(frames) != self->bufferSize &&
            self->callbacks.asioMessage != nullptr)
            self->callbacks.asioMessage(kAsioBufferSizeChange, static_cast<std::int32_t>(frames), nullptr, nullptr);
        return 0;
    }
    static int SampleRateChanged(jack_nframes_t rate, void* driver)
    {
        auto* self = static_cast<AsioJackDriver*>(driver);
        if (self->buffersReady.load() && self->callbacks.sampleRateDidChange != nullptr)
            self->callbacks.sampleRateDidChange(static_cast<double>(rate));
        return 0;
    }
    // JACK asks this to behave like a signal handler: copy the reason and
    // wake the watcher, which does the telling.
    static void Shutdown(jack_status_t, const char* reason, void* driver)
    {
        auto* self = static_cast<AsioJackDriver*>(driver);
        std::size_t i = 0;
        for (; reason != nullptr && reason[i] != '\0' && i + 1 < sizeof self->lostReason; ++i)
            self->lostReason[i] = reason[i];
        self->lostReason[i] = '\0';
        self->lost.store(true, std::memory_order_release);
        sem_post(&self->lossSignal);
    }
};

AsioJackDriver::AsioJackDriver() = default;

AsioJackDriver::~AsioJackDriver()
{
    Unload();
}

void AsioJackDriver::SetLostHandler(AsioLostHandler handler, void* context)
{
    lostHandler = handler;
    lostContext = context;
}

bool AsioJackDriver::Load(const AsioDriverEntry& entry)
{
    Unload();
    jack_status_t status{};
    {
        QuietJack quiet;
        client = jack_client_open(JackClientName().c_str(),
                                  static_cast<jack_options_t>(JackNoStartServer | JackServerName), &status,
                                  entry.serverName.c_str());
    }
    if (client == nullptr)
        return false;
    lost = false;
    lostReason[0] = '\0';
    xruns = 0;
    mismatched = 0;
    jack_set_process_callback(client, &JackCallbacks::Process, this);
    jack_set_xrun_callback(client, &JackCallbacks::Xrun, this);
    jack_set_buffer_size_callback(client, &JackCallbacks::BufferSizeChanged, this);
    jack_set_sample_rate_callback(client, &JackCallbacks::SampleRateChanged, this);
    jack_on_info_shutdown(client, &JackCallbacks::Shutdown, this);
    sem_init(&lossSignal, 0, 0);
    watcherQuit = false;
    watcher = std::thread(&AsioJackDriver::WatchForLoss, this);
    return true;
}

void AsioJackDriver::Unload()
{
    if (client == nullptr)
        return;
    Stop();
    if (buffersReady.load())
        DisposeBuffers();
    // Also after the server has gone: closing frees what the client holds.
    {
        QuietJack quiet;
        jack_client_close(client);
    }
    client = nullptr;
    watcherQuit = true;
    sem_post(&lossSignal);
    watcher.join();
    sem_destroy(&lossSignal);
}

void AsioJackDriver::WatchForLoss()
{
    while (sem_wait(&lossSignal) != 0) {
        // interrupted by a signal: wait again
    }
    if (!watcherQuit.load() && lost.load() && lostHandler != nullptr)
        lostHandler(lostContext, lostReason[0] != '\0' ? lostReason : "JACK server stopped");
}

std::vector<std::string> AsioJackDriver::PhysicalPorts(unsigned long direction) const
{
    std::vector<std::string> names;
    const char** found =
        jack_get_ports(client, nullptr, JACK_DEFAULT_AUDIO_TYPE, JackPortIsPhysical | direction);
    if (found == nullptr)
        return names;
    for (const char** name = found; *name != nullptr; ++name)
        names.emplace_back(*name);
    jack_free(found);
    return names;
}

AsioError AsioJackDriver::GetChannels(std::int32_t* inputs, std::int32_t* outputs)
{
    if (!Init())
        return kAsioNotPresent;
    // A playback port is an input of the server's; a capture port an output.
    if (inputs != nullptr)
        *inputs = static_cast<std::int32_t>(PhysicalPorts(JackPortIsOutput).size());
    if (outputs != nullptr)
        *outputs = static_cast<std::int32_t>(PhysicalPorts(JackPortIsInput).size());
    return kAsioOk;
}

AsioError AsioJackDriver::GetBufferSize(std::int32_t* minimum, std::int32_t* maximum, std::int32_t* preferred,
                                        std::int32_t* granularity)
{
    if (!Init())
        return kAsioNotPresent;
    const auto size = static_cast<std::int32_t>(jack_get_buffer_size(client));
    *minimum = *maximum = *preferred = size;
    *granularity = 0;
    return kAsioOk;
}

AsioError AsioJackDriver::CanSampleRate(double rate)
{
    if (!Init())
        return kAsioNotPresent;
    return rate == static_cast<double>(jack_get_sample_rate(client)) ? kAsioOk : kAsioNoClock;
}

AsioError AsioJackDriver::GetSampleRate(double* rate)
{
    if (!Init())
        return kAsioNotPresent;
    *rate = static_cast<double>(jack_get_sample_rate(client));
    return kAsioOk;
}

AsioError AsioJackDriver::SetSampleRate(double rate)
{
    return CanSampleRate(rate);
}

AsioError AsioJackDriver::GetChannelInfo(AsioChannelInfo* info)
{
    if (!Init())
        return kAsioNotPresent;
    std::int32_t outputs = 0;
    GetChannels(nullptr, &outputs);
    if (info == nullptr || info->isInput || info->channel < 0 || info->channel >= outputs)
        return kAsioInvalidParameter;
    info->isActive = buffersReady.load() && info->channel < static_cast<std::int32_t>(ports.size());
    info->channelGroup = 0;
    info->type = kAsioFloat32LSB;
    std::snprintf(info->name, sizeof info->name, "Channel %i", static_cast<int>(info->channel + 1));
    return kAsioOk;
}

AsioError AsioJackDriver::CreateBuffers(AsioBufferInfo* infos, std::int32_t count, std::int32_t newBufferSize,
                                        const AsioCallbacks* newCallbacks)
{
    if (!Init())
        return kAsioNotPresent;
    if (buffersReady.load() || active.load())
        return kAsioInvalidMode;
    if (infos == nullptr || count <= 0 || newBufferSize <= 0 || newCallbacks == nullptr ||
        newCallbacks->bufferSwitch == nullptr)
        return kAsioInvalidParameter;
    for (std::int32_t i = 0; i < count; ++i) {
        if (infos[i].isInput)
            return kAsioInvalidParameter;
    }

    const std::size_t frames = static_cast<std::size_t>(newBufferSize);
    halves.assign(2 * frames * static_cast<std::size_t>(count), 0.0f);
    ports.clear();
    for (std::int32_t i = 0; i < count; ++i) {
        char portName[32];
        std::snprintf(portName, sizeof portName, "Channel %i", static_cast<int>(infos[i].channelNum + 1));
        jack_port_t* port = jack_port_register(client, portName, JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
        if (port == nullptr) {
            UnregisterPorts();
            return kAsioHardwareMalfunction;
        }
        ports.push_back(port);
        float* first = halves.data() + 2 * frames * static_cast<std::size_t>(i);
        infos[i].buffers[0] = first;
        infos[i].buffers[1] = first + frames;
    }
    bufferSize = newBufferSize;
    callbacks = *newCallbacks;
    index = 1;
    buffersReady = true;
    return kAsioOk;
}

void AsioJackDriver::UnregisterPorts()
{
    if (!lost.load()) {
        for (jack_port_t* port : ports)
            jack_port_unregister(client, port);
    }
    ports.clear();
    halves.clear();
    halves.shrink_to_fit();
}

AsioError AsioJackDriver::DisposeBuffers()
{
    if (client == nullptr)
        return kAsioNotPresent;
    if (!buffersReady.load())
        return kAsioInvalidMode;
    Stop();
    buffersReady = false;
    UnregisterPorts();
    return kAsioOk;
}

AsioError AsioJackDriver::Start()
{
    if (!Init())
        return kAsioNotPresent;
    if (!buffersReady.load())
        return kAsioInvalidMode;
    if (active.load())
        return kAsioOk;
    if (jack_activate(client) != 0)
        return kAsioHardwareMalfunction;
    active = true;
    // Connections can only be made once the client is active. A server with
    // fewer playback ports than outputs leaves the rest unconnected.
    const std::vector<std::string> playback = PhysicalPorts(JackPortIsInput);
    for (std::size_t i = 0; i < ports.size() && i < playback.size(); ++i)
        jack_connect(client, jack_port_name(ports[i]), playback[i].c_str());
    return kAsioOk;
}

AsioError AsioJackDriver::Stop()
{
    if (client == nullptr)
        return kAsioNotPresent;
    if (!active.load())
        return kAsioOk;
    active = false;
    // Nothing is left to stop on a server that has gone.
    if (lost.load())
        return kAsioOk;
    // After deactivation returns JACK calls Process no more.
    return jack_deactivate(client) == 0 ? kAsioOk : kAsioHardwareMalfunction;
}

std::string AsioJackDriver::OutputPortName(int portIndex) const
{
    if (portIndex < 0 || portIndex >= static_cast<int>(ports.size()) || lost.load())
        return "";
    return jack_port_name(ports[static_cast<std::size_t>(portIndex)]);
}

void AsioJackDriver::Process(std::uint32_t frames) noexcept
{
    const std::size_t count = ports.size();
    if (!buffersReady.load(std::memory_order_acquire) || static_cast<std::int32_t>(frames) != bufferSize) {
        if (buffersReady.load(std::memory_order_acquire))
            mismatched.fetch_add(1, std::memory_order_relaxed);
        for (std::size_t i = 0; i < count; ++i)
            std::memset(jack_port_get_buffer(ports[i], frames), 0, sizeof(float) * frames);
        return;
    }
    index ^= 1;
    callbacks.bufferSwitch(index, true);
    const std::size_t length = static_cast<std::size_t>(bufferSize);
    for (std::size_t i = 0; i < count; ++i) {
        const float* half = halves.data() + (2 * i + static_cast<std::size_t>(index)) * length;
        std::memcpy(jack_port_get_buffer(ports[i], frames), half, sizeof(float) * length);
    }
}

} // namespace platform::audio
