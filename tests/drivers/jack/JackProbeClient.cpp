#include "tests/drivers/jack/JackProbeClient.h"

#include <jack/jack.h>

#include <cstring>

#include "platform/audio/AsioDriverList.h"
#include "tests/drivers/jack/JackTestServer.h"

namespace jack_test {

CJackProbeClient::CJackProbeClient(int inputs, std::size_t capacityFrames) : capacity(capacityFrames)
{
    jack_status_t status{};
    {
        platform::audio::QuietJack quiet;
        client = jack_client_open(ClientNameOfThisProcess("corvane-probe").c_str(), JackNoStartServer, &status);
    }
    if (client == nullptr)
        return;
    for (int i = 0; i < inputs; ++i) {
        const std::string name = "in_" + std::to_string(i + 1);
        ports.push_back(jack_port_register(client, name.c_str(), JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0));
        recordings.emplace_back(capacity, 0.0f);
    }
    jack_set_process_callback(client, &Process, this);
    if (jack_activate(client) != 0)
        Close();
}

CJackProbeClient::~CJackProbeClient()
{
    Close();
}

void CJackProbeClient::Close()
{
    if (client == nullptr)
        return;
    jack_deactivate(client);
    jack_client_close(client);
    client = nullptr;
}

int CJackProbeClient::Process(unsigned count, void* probe)
{
    auto* self = static_cast<CJackProbeClient*>(probe);
    if (self->restart.exchange(false, std::memory_order_acq_rel))
        self->frames.store(0, std::memory_order_release);
    const std::size_t start = self->frames.load(std::memory_order_relaxed);
    const std::size_t room = self->capacity - start;
    const std::size_t taken = count < room ? count : room;
    for (std::size_t i = 0; i < self->ports.size(); ++i) {
        const auto* in = static_cast<const float*>(jack_port_get_buffer(self->ports[i], count));
        std::memcpy(self->recordings[i].data() + start, in, taken * sizeof(float));
    }
    self->frames.store(start + taken, std::memory_order_release);
    return 0;
}

bool CJackProbeClient::Listen(const std::string& source, int input)
{
    if (client == nullptr || input < 0 || input >= static_cast<int>(ports.size()))
        return false;
    return jack_connect(client, source.c_str(), jack_port_name(ports[static_cast<std::size_t>(input)])) == 0;
}

std::vector<float> CJackProbeClient::Recorded(int input) const
{
    const std::size_t count = Frames();
    const std::vector<float>& recording = recordings[static_cast<std::size_t>(input)];
    return std::vector<float>(recording.begin(), recording.begin() + static_cast<std::ptrdiff_t>(count));
}

std::vector<std::string> CJackProbeClient::ConnectionsOf(const std::string& port) const
{
    std::vector<std::string> names;
    if (client == nullptr)
        return names;
    jack_port_t* found = jack_port_by_name(client, port.c_str());
    if (found == nullptr)
        return names;
    const char** connections = jack_port_get_all_connections(client, found);
    if (connections == nullptr)
        return names;
    for (const char** name = connections; *name != nullptr; ++name)
        names.emplace_back(*name);
    jack_free(connections);
    return names;
}

} // namespace jack_test
