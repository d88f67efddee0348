#include "drivers/DeviceLoss.h"

#include <atomic>
#include <mutex>
#include <vector>

#include "drivers/DriverMessages.h"

namespace {

struct Listener {
    int id;
    DeviceLostListener function;
    void* context;
};

struct Listeners {
    std::mutex lock;   // held while listeners run, so removal waits for them
    std::vector<Listener> entries;
    int nextId = 1;
    std::atomic<std::uint64_t> losses{0};
};

Listeners& TheListeners()
{
    static Listeners listeners;
    return listeners;
}

} // namespace

int AddDeviceLostListener(DeviceLostListener listener, void* context)
{
    Listeners& listeners = TheListeners();
    std::lock_guard<std::mutex> guard(listeners.lock);
    const int id = listeners.nextId++;
    listeners.entries.push_back({id, listener, context});
    return id;
}

void RemoveDeviceLostListener(int id)
{
    Listeners& listeners = TheListeners();
    std::lock_guard<std::mutex> guard(listeners.lock);
    for (auto it = listeners.entries.begin(); it != listeners.entries.end(); ++it) {
        if (it->id == id) {
            listeners.entries.erase(it);
            return;
        }
    }
}

void ReportDeviceLost(const char* driverName, const char* text)
{
    Listeners& listeners = TheListeners();
    std::lock_guard<std::mutex> guard(listeners.lock);
    // A listener shows the loss in words of its own (the window adds how to
    // play again); with none, the driver's text is all the user gets.
    if (listeners.entries.empty())
        ShowDriverMessage(text);
    // Counted before the listeners run, so one that wakes a poller finds
    // the count already grown.
    listeners.losses.fetch_add(1, std::memory_order_acq_rel);
    for (const Listener& listener : listeners.entries)
        listener.function(listener.context, driverName, text);
}

std::uint64_t DeviceLossCount()
{
    return TheListeners().losses.load(std::memory_order_acquire);
}
