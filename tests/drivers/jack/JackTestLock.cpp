#include "tests/drivers/jack/JackTestLock.h"

#include <chrono>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace jack_test {

namespace {

// Far longer than all JACK tests together take; a holder that hangs makes
// the waiters fail instead of waiting for ever.
constexpr auto kWaitBound = std::chrono::seconds(120);

} // namespace

CJackTestLock::CJackTestLock()
{
    const std::string path = "/tmp/corvane-jack-tests-" + std::to_string(getuid()) + ".lock";
    descriptor = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (descriptor < 0)
        return;
    const auto deadline = std::chrono::steady_clock::now() + kWaitBound;
    while (flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        if (std::chrono::steady_clock::now() >= deadline)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    held = true;
}

CJackTestLock::~CJackTestLock()
{
    if (descriptor >= 0)
        close(descriptor);
}

} // namespace jack_test
