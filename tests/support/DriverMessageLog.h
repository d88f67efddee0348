#pragma once
// Keeps every text a driver shows through ShowDriverMessage, for the tests
// that check what the user is told: hand Keep and the log to
// SetDriverMessageHandler. Drivers report from their own threads, so the
// texts are guarded.

#include <mutex>
#include <string>
#include <vector>

namespace test_support {

struct DriverMessageLog {
    std::mutex lock;
    std::vector<std::string> texts;

    static void Keep(void* context, const char* text)
    {
        auto* self = static_cast<DriverMessageLog*>(context);
        std::lock_guard<std::mutex> guard(self->lock);
        self->texts.emplace_back(text);
    }
    std::vector<std::string> Texts()
    {
        std::lock_guard<std::mutex> guard(lock);
        return texts;
    }
};

} // namespace test_support
