// The parameter state block machines save into projects and read back,
// including the older 32-bit float form and damaged blocks from files.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "framework/StateBlock.h"
#include "tests/framework/TestHost.h"
#include "tests/framework/TestMachine.h"

namespace {

using Bytes = std::vector<unsigned char>;

void Append(Bytes& bytes, const void* data, std::size_t size)
{
    const auto* begin = static_cast<const unsigned char*>(data);
    bytes.insert(bytes.end(), begin, begin + size);
}

Bytes Block(const char magic[4], std::int32_t count, const std::vector<double>& values, bool floats)
{
    Bytes bytes;
    Append(bytes, magic, 4);
    Append(bytes, &count, 4);
    for (double value : values) {
        if (floats) {
            const float single = static_cast<float>(value);
            Append(bytes, &single, 4);
        } else {
            Append(bytes, &value, 8);
        }
    }
    return bytes;
}

/// Loads the first length bytes from a heap copy of exactly that size, so
/// the address sanitizer reports any read past the end.
void LoadExactly(CMachine& machine, const Bytes& bytes, std::size_t length)
{
    std::unique_ptr<unsigned char[]> copy(new unsigned char[length != 0 ? length : 1]);
    if (length != 0)
        std::memcpy(copy.get(), bytes.data(), length);
    machine.LoadState(length != 0 ? copy.get() : nullptr, static_cast<int>(length), true);
}

std::vector<int> NotifiedIndexes(const CTestHost& host)
{
    std::vector<int> indexes;
    for (const ParameterCall& call : host.calls) {
        if (call.side == ParameterCall::Side::Host)
            indexes.push_back(call.index);
    }
    return indexes;
}

TEST(StateBlock, NoParametersSaveAsAnEightByteHeader)
{
    CTestHost host;
    CBareMachine machine(&host);
    void* data = nullptr;
    int length = -1;
    bool hostFormat = false;
    machine.SaveState(&data, &length, &hostFormat);
    ASSERT_NE(data, nullptr);
    ASSERT_EQ(length, 8);
    EXPECT_TRUE(hostFormat);
    EXPECT_EQ(std::memcmp(data, "46HP\0\0\0\0", 8), 0);
    std::free(data);
}

TEST(StateBlock, SavedValuesLoadBackThroughTheHost)
{
    CTestHost host;
    CTestMachine source(&host, 5);
    source.values = {0.0, 1.0, -0.375, 1e-300, 12345.678};
    void* data = nullptr;
    int length = 0;
    bool hostFormat = false;
    source.SaveState(&data, &length, &hostFormat);
    ASSERT_EQ(length, 8 + 5 * 8);
    EXPECT_EQ(std::memcmp(data, "46HP", 4), 0);
    std::int32_t count;
    std::memcpy(&count, static_cast<char*>(data) + 4, 4);
    EXPECT_EQ(count, 5);

    CTestMachine target(&host, 5);
    target.LoadState(data, length, hostFormat);
    std::free(data);
    EXPECT_EQ(target.values, source.values);
    // Each value went through the notifying path, host first, in index order.
    ASSERT_EQ(host.calls.size(), 10u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(host.calls[2 * static_cast<std::size_t>(i)],
                  (ParameterCall{ParameterCall::Side::Host, &target, i, source.values[static_cast<std::size_t>(i)]}));
        EXPECT_EQ(host.calls[2 * static_cast<std::size_t>(i) + 1].side, ParameterCall::Side::Machine);
    }
}

TEST(StateBlock, BlocksShorterThanTheHeaderAreIgnored)
{
    CTestHost host;
    CTestMachine machine(&host, 2);
    const Bytes block = Block("46HP", 1, {0.5}, false);
    for (std::size_t length : {0u, 4u, 7u})
        LoadExactly(machine, block, length);
    machine.LoadState(nullptr, 16, true);
    EXPECT_TRUE(host.calls.empty());
}

TEST(StateBlock, FloatBlockValuesAreWidenedToDouble)
{
    CTestHost host;
    CTestMachine machine(&host, 3);
    const Bytes block = Block("hPvC", 3, {0.25, -1.5, 0.1}, true);
    ASSERT_EQ(block.size(), 8u + 3 * 4);
    LoadExactly(machine, block, block.size());
    // 0.1 arrives as the single-precision value widened, not as 0.1.
    EXPECT_EQ(machine.values, (std::vector<double>{0.25, -1.5, static_cast<double>(0.1f)}));
    EXPECT_NE(machine.values[2], 0.1);
}

TEST(StateBlock, TheCountComesFromTheBlock)
{
    CTestHost host;
    CTestMachine machine(&host, 2);
    const Bytes block = Block("46HP", 4, {1.0, 2.0, 3.0, 4.0}, false);
    LoadExactly(machine, block, block.size());
    // Every value is offered; the machine keeps the indexes it has.
    EXPECT_EQ(NotifiedIndexes(host), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(machine.values, (std::vector<double>{1.0, 2.0}));
}

TEST(StateBlock, UnknownMagicIsReadAsDoubles)
{
    CTestHost host;
    CTestMachine machine(&host, 2);
    const Bytes block = Block("XYZW", 2, {0.125, 0.875}, false);
    LoadExactly(machine, block, block.size());
    EXPECT_EQ(machine.values, (std::vector<double>{0.125, 0.875}));
}

TEST(StateBlock, NegativeOrZeroCountSetsNothing)
{
    CTestHost host;
    CTestMachine machine(&host, 2);
    for (std::int32_t count : {0, -1, -2147483647 - 1}) {
        const Bytes doubles = Block("46HP", count, {1.0, 2.0}, false);
        LoadExactly(machine, doubles, doubles.size());
        const Bytes floats = Block("hPvC", count, {1.0, 2.0}, true);
        LoadExactly(machine, floats, floats.size());
    }
    EXPECT_TRUE(host.calls.empty());
}

TEST(StateBlock, EveryTruncationReadsOnlyTheWholeValuesPresent)
{
    for (bool floats : {false, true}) {
        SCOPED_TRACE(floats ? "hPvC" : "46HP");
        const std::vector<double> values{0.5, -0.25, 0.75, 2.0, -8.0};
        const Bytes block = Block(floats ? "hPvC" : "46HP", 5, values, floats);
        const std::size_t valueBytes = floats ? 4 : 8;
        for (std::size_t length = 0; length <= block.size(); ++length) {
            SCOPED_TRACE(length);
            CTestHost host;
            CTestMachine machine(&host, 5);
            machine.values.assign(5, 99.0);
            LoadExactly(machine, block, length);
            const std::size_t whole = length < 8 ? 0 : (length - 8) / valueBytes;
            ASSERT_EQ(NotifiedIndexes(host).size(), whole);
            for (std::size_t i = 0; i < 5; ++i)
                EXPECT_EQ(machine.values[i], i < whole ? values[i] : 99.0) << "parameter " << i;
        }
    }
}

TEST(StateBlock, RandomCorruptionNeverReadsPastTheBlock)
{
    std::mt19937 random(7);
    const Bytes valid = Block("46HP", 6, {1, 2, 3, 4, 5, 6}, false);
    for (int round = 0; round < 500; ++round) {
        Bytes bytes = valid;
        bytes.resize(random() % (valid.size() + 9));
        for (unsigned char& byte : bytes) {
            if (random() % 5 == 0)
                byte = static_cast<unsigned char>(random());
        }
        if (round % 3 == 0 && bytes.size() >= 4)
            std::memcpy(bytes.data(), "hPvC", 4);
        CTestHost host;
        CTestMachine machine(&host, 6);
        LoadExactly(machine, bytes, bytes.size());
        const std::size_t limit = bytes.size() < 8 ? 0 : (bytes.size() - 8) / 4;
        EXPECT_LE(NotifiedIndexes(host).size(), limit) << "round " << round;
    }
}

TEST(StateBlock, EncodeAndDecodeAgree)
{
    const double values[] = {3.5, -0.0, 1.0 / 3.0};
    int length = 0;
    void* block = EncodeStateBlock(values, 3, &length);
    ASSERT_EQ(length, 32);
    const std::vector<double> decoded = DecodeStateBlock(block, length);
    std::free(block);
    ASSERT_EQ(decoded.size(), 3u);
    EXPECT_EQ(decoded[0], 3.5);
    EXPECT_TRUE(std::signbit(decoded[1]));
    EXPECT_EQ(decoded[2], 1.0 / 3.0);
}

} // namespace
