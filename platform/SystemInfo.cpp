#include "platform/SystemInfo.h"

#include <thread>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

namespace platform {

int GetProcessorCount() noexcept
{
    const unsigned count = std::thread::hardware_concurrency();
    return count == 0 ? 1 : static_cast<int>(count);
}

std::int32_t CpuFeaturesFromCpuid(std::uint32_t maxLeaf, std::uint32_t leaf1Edx, std::uint32_t maxExtendedLeaf,
                                  std::uint32_t extendedLeaf1Edx) noexcept
{
    std::int32_t features = 0;
    if (maxLeaf >= 1) {
        if (leaf1Edx & (1u << 23))
            features |= kCpuMmx;
        if (leaf1Edx & (1u << 25))
            features |= kCpuSse;
        if (leaf1Edx & (1u << 26))
            features |= kCpuSse2;
    }
    if (maxExtendedLeaf > 0x80000000u && (extendedLeaf1Edx & (1u << 31)))
        features |= kCpu3DNow;
    return features;
}

std::int32_t ProbeCpuFeatures() noexcept
{
#if defined(__i386__) || defined(__x86_64__)
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    __cpuid(0, eax, ebx, ecx, edx);
    const unsigned maxLeaf = eax;
    unsigned leaf1Edx = 0;
    if (maxLeaf >= 1) {
        __cpuid(1, eax, ebx, ecx, edx);
        leaf1Edx = edx;
    }
    __cpuid(0x80000000u, eax, ebx, ecx, edx);
    const unsigned maxExtended = eax;
    unsigned extendedEdx = 0;
    if (maxExtended > 0x80000000u) {
        __cpuid(0x80000001u, eax, ebx, ecx, edx);
        extendedEdx = edx;
    }
    return CpuFeaturesFromCpuid(maxLeaf, leaf1Edx, maxExtended, extendedEdx);
#else
    return 0;
#endif
}

} // namespace platform
