#include "platform/SystemInfo.h"

#include <cstdint>
#include <gtest/gtest.h>

using platform::CpuFeaturesFromCpuid;

namespace {
constexpr std::uint32_t Bit(int n)
{
    return 1u << n;
}
constexpr std::uint32_t kAllBits = 0xffffffffu;
constexpr std::uint32_t kExtendedBase = 0x80000000u;
} // namespace

TEST(SystemInfo, Leaf1BitsGiveMmxSseSse2OnlyWhenLeaf1Exists)
{
    EXPECT_EQ(CpuFeaturesFromCpuid(1, Bit(23), 0, 0), platform::kCpuMmx);
    EXPECT_EQ(CpuFeaturesFromCpuid(1, Bit(25), 0, 0), platform::kCpuSse);
    EXPECT_EQ(CpuFeaturesFromCpuid(1, Bit(26), 0, 0), platform::kCpuSse2);
    EXPECT_EQ(CpuFeaturesFromCpuid(13, Bit(23) | Bit(25) | Bit(26), 0, 0),
              platform::kCpuMmx | platform::kCpuSse | platform::kCpuSse2);
    // Neighbouring bits (24 is FXSR, 27 self-snoop, 22 ACPI) mean nothing here.
    EXPECT_EQ(CpuFeaturesFromCpuid(1, kAllBits & ~(Bit(23) | Bit(25) | Bit(26)), 0, 0), 0);

    // A processor whose highest leaf is 0 has no leaf 1: whatever is in the
    // register is not read as features.
    EXPECT_EQ(CpuFeaturesFromCpuid(0, kAllBits, 0, 0), 0);
}

TEST(SystemInfo, ThreeDNowOnlyWhenTheExtendedLeafExists)
{
    EXPECT_EQ(CpuFeaturesFromCpuid(0, 0, kExtendedBase + 1, Bit(31)), platform::kCpu3DNow);
    EXPECT_EQ(CpuFeaturesFromCpuid(0, 0, kExtendedBase + 8, Bit(31)), platform::kCpu3DNow);
    // The extended count must be above 0x80000000, not merely equal to it;
    // older processors answer the extended query with unrelated small values.
    EXPECT_EQ(CpuFeaturesFromCpuid(0, 0, kExtendedBase, Bit(31)), 0);
    EXPECT_EQ(CpuFeaturesFromCpuid(0, 0, 5, Bit(31)), 0);
    EXPECT_EQ(CpuFeaturesFromCpuid(0, 0, 0, Bit(31)), 0);
    // Bit 30 is extended 3DNow!, not the bit the machines test.
    EXPECT_EQ(CpuFeaturesFromCpuid(0, 0, kExtendedBase + 1, kAllBits & ~Bit(31)), 0);
    // The two halves are independent.
    EXPECT_EQ(CpuFeaturesFromCpuid(1, Bit(26), kExtendedBase + 1, Bit(31)), platform::kCpuSse2 | platform::kCpu3DNow);
    EXPECT_EQ(CpuFeaturesFromCpuid(0, kAllBits, kExtendedBase + 1, kAllBits), platform::kCpu3DNow);
}

TEST(SystemInfo, ProbeOfThisProcessor)
{
    const std::int32_t features = platform::ProbeCpuFeatures();
    EXPECT_EQ(features & ~0xf, 0);
#if defined(__x86_64__)
    // Every x86-64 processor has MMX, SSE and SSE2.
    EXPECT_EQ(features & 0x7, platform::kCpuMmx | platform::kCpuSse | platform::kCpuSse2);
#elif !defined(__i386__)
    EXPECT_EQ(features, 0);
#endif
    EXPECT_EQ(platform::ProbeCpuFeatures(), features);
}

TEST(SystemInfo, ProcessorCountIsAtLeastOne)
{
    EXPECT_GE(platform::GetProcessorCount(), 1);
}
