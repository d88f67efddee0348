#pragma once
// What every take a recorder track leaves behind must be, however its
// program ended: a stereo float WAV file whose header counts whole frames,
// only frames that are on disk, and as many as sox reads.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "tests/machines/ProgramRun.h"
#include "tests/samples/WavTestFiles.h"

namespace machines_test {

constexpr std::uint32_t kTakeFrameBytes = 8;   // stereo float

/// Checks the take's header against its bytes and returns the frames it
/// counts (0 when there is no header).
inline std::uint32_t ExpectValidTakeHeader(const Bytes& bytes, const std::string& path)
{
    EXPECT_GE(bytes.size(), 44u);
    if (bytes.size() < 44u)
        return 0;
    EXPECT_EQ(std::memcmp(bytes.data(), "RIFF", 4), 0);
    EXPECT_EQ(std::memcmp(bytes.data() + 8, "WAVE", 4), 0);
    EXPECT_EQ(std::memcmp(bytes.data() + 36, "data", 4), 0);
    const std::uint32_t dataBytes = Read32(bytes, 40);
    EXPECT_EQ(Read32(bytes, 4), 36u + dataBytes);
    EXPECT_EQ(dataBytes % kTakeFrameBytes, 0u);
    EXPECT_LE(44u + dataBytes, bytes.size()) << "the header counts frames that are not on disk";
    const std::uint32_t frames = dataBytes / kTakeFrameBytes;
    EXPECT_EQ(Soxi("-s", path), std::to_string(frames));
    return frames;
}

} // namespace machines_test
