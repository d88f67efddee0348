#pragma once
// The fixtures of the JACK tests: JackTest holds the machine-wide JACK test
// lock; JackServerTest also runs a server of its own, 48 kHz with periods
// of 256 frames and four playback channels, for the length of one test.

#include <gtest/gtest.h>

#include <string>

#include "tests/drivers/jack/JackTestLock.h"
#include "tests/drivers/jack/JackTestServer.h"

namespace jack_test {

inline constexpr int kServerRate = 48000;
inline constexpr int kServerPeriod = 256;
inline constexpr int kServerOutputs = 4;

class JackTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(lock.IsHeld()) << "another JACK test held the lock too long"; }

    CJackTestLock lock;   // first in, last out: held while the server runs
};

class JackServerTest : public JackTest {
protected:
    void SetUp() override
    {
        JackTest::SetUp();
        if (HasFatalFailure())
            return;
        std::string why;
        ASSERT_TRUE(server.Start(kServerRate, kServerPeriod, kServerOutputs, &why)) << why;
    }

    CJackTestServer server;
};

} // namespace jack_test
