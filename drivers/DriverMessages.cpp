#include "drivers/DriverMessages.h"

#include <cstdio>
#include <mutex>

namespace {

void PrintToStandardError(void*, const char* text)
{
    std::fprintf(stderr, "Corvane: %s\n", text);
}

struct Destination {
    std::mutex lock;   // a report and a change of handler may meet
    DriverMessageHandler handler = &PrintToStandardError;
    void* context = nullptr;
};

Destination& TheDestination()
{
    static Destination destination;
    return destination;
}

} // namespace

void SetDriverMessageHandler(DriverMessageHandler handler, void* context)
{
    Destination& destination = TheDestination();
    std::lock_guard<std::mutex> guard(destination.lock);
    destination.handler = handler != nullptr ? handler : &PrintToStandardError;
    destination.context = handler != nullptr ? context : nullptr;
}

void ShowDriverMessage(const char* text)
{
    Destination& destination = TheDestination();
    std::lock_guard<std::mutex> guard(destination.lock);
    destination.handler(destination.context, text);
}
