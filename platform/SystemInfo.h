#pragma once
// What the machine offers: processor count and instruction-set features.

#include <cstdint>

namespace platform {

/// Feature bits the machines may test.
enum CpuFeature : std::int32_t {
    kCpuMmx = 0x1,
    kCpuSse = 0x2,
    kCpuSse2 = 0x4,
    kCpu3DNow = 0x8,
};

/// Processors the system reports, at least 1.
int GetProcessorCount() noexcept;
/// The CpuFeature bits of this processor from cpuid; 0 on processors
/// without cpuid.
std::int32_t ProbeCpuFeatures() noexcept;

/// The bits from raw cpuid results, kept apart so that the rules can be
/// checked without the processor that has them.
std::int32_t CpuFeaturesFromCpuid(std::uint32_t maxLeaf, std::uint32_t leaf1Edx, std::uint32_t maxExtendedLeaf,
                                  std::uint32_t extendedLeaf1Edx) noexcept;

} // namespace platform
