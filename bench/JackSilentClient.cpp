// The floor of bench/jack-xruns.sh: a JACK client that does nothing but
// write silence to two output ports connected to the playback ports, for
// the given number of seconds, counting the xruns the server reports. Any
// xrun it sees is the server's and the machine's, not the studio's.
//
// Usage: silent_jack_client SECONDS
// Prints "Dropouts (xruns or underruns): N", as `corvane --play` does.

#include <jack/jack.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

struct SilentClient {
    jack_port_t* ports[2] = {nullptr, nullptr};
    std::atomic<long> xruns{0};
};

int Process(jack_nframes_t frames, void* argument)
{
    auto* client = static_cast<SilentClient*>(argument);
    for (jack_port_t* port : client->ports) {
        auto* out = static_cast<float*>(jack_port_get_buffer(port, frames));
        std::memset(out, 0, sizeof(float) * frames);
    }
    return 0;
}

int Xrun(void* argument)
{
    static_cast<SilentClient*>(argument)->xruns.fetch_add(1, std::memory_order_relaxed);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    jack_status_t status{};
    jack_client_t* jack = jack_client_open("corvane-silent", JackNoStartServer, &status);
    if (jack == nullptr) {
        std::fprintf(stderr, "no JACK server (status 0x%x)\n", static_cast<unsigned>(status));
        return 1;
    }
    SilentClient client;
    const char* names[2] = {"out_1", "out_2"};
    for (int c = 0; c < 2; ++c)
        client.ports[c] = jack_port_register(jack, names[c], JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
    jack_set_process_callback(jack, &Process, &client);
    jack_set_xrun_callback(jack, &Xrun, &client);
    if (jack_activate(jack) != 0) {
        std::fprintf(stderr, "cannot activate the client\n");
        jack_client_close(jack);
        return 1;
    }
    // Connected as the studio connects: through the playback ports, so the
    // server's graph is the same size.
    if (const char** playback = jack_get_ports(jack, nullptr, JACK_DEFAULT_AUDIO_TYPE,
                                               JackPortIsPhysical | JackPortIsInput)) {
        for (int c = 0; c < 2 && playback[c] != nullptr; ++c)
            jack_connect(jack, jack_port_name(client.ports[c]), playback[c]);
        jack_free(playback);
    }
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const long xruns = client.xruns.load();
    jack_deactivate(jack);
    jack_client_close(jack);
    std::printf("Dropouts (xruns or underruns): %ld\n", xruns);
    return 0;
}
