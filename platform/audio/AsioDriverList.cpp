#include "platform/audio/AsioDriverList.h"

#include <jack/jack.h>

#include <cstdlib>

namespace platform::audio {

namespace {

void IgnoreJackMessage(const char*) {}

} // namespace

QuietJack::QuietJack() : savedError(jack_error_callback), savedInfo(jack_info_callback)
{
    jack_set_error_function(&IgnoreJackMessage);
    jack_set_info_function(&IgnoreJackMessage);
}

QuietJack::~QuietJack()
{
    jack_set_error_function(savedError);
    jack_set_info_function(savedInfo);
}

std::string DefaultJackServer()
{
    const char* name = std::getenv("JACK_DEFAULT_SERVER");
    return name != nullptr && *name != '\0' ? name : "default";
}

std::string JackClientName()
{
    const char* name = std::getenv("CORVANE_JACK_CLIENT_NAME");
    return name != nullptr && *name != '\0' ? name : "Corvane Studio";
}

std::vector<AsioDriverEntry> ListAsioDrivers()
{
    std::vector<AsioDriverEntry> drivers;
    const std::string server = DefaultJackServer();
    QuietJack quiet;
    jack_status_t status{};
    jack_client_t* client = jack_client_open(JackClientName().c_str(),
                                             static_cast<jack_options_t>(JackNoStartServer | JackServerName), &status,
                                             server.c_str());
    if (client == nullptr)
        return drivers;
    jack_client_close(client);
    drivers.push_back({"JACK (" + server + ")", server});
    return drivers;
}

} // namespace platform::audio
