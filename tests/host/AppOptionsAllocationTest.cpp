// A damaged options file must never make the reader ask for more memory
// than the file could fill. Global operator new and delete are replaced here
// to record the largest single request made while a file is read, which is
// why this is an executable of its own.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

#include "host/AppOptions.h"
#include "tests/host/HostTestSupport.h"
#include "tests/host/OptionsFileBytes.h"

namespace {

std::atomic<bool> watching{false};
std::atomic<std::size_t> largestRequest{0};

void* Allocate(std::size_t bytes)
{
    if (watching.load(std::memory_order_relaxed)) {
        std::size_t seen = largestRequest.load(std::memory_order_relaxed);
        while (bytes > seen && !largestRequest.compare_exchange_weak(seen, bytes)) {
        }
    }
    void* memory = std::malloc(bytes != 0 ? bytes : 1);
    if (memory == nullptr)
        throw std::bad_alloc();
    return memory;
}

void* AllocateAligned(std::size_t bytes, std::align_val_t alignment)
{
    const auto align = static_cast<std::size_t>(alignment);
    if (watching.load(std::memory_order_relaxed) && bytes > largestRequest.load())
        largestRequest.store(bytes);
    void* memory = std::aligned_alloc(align, (bytes + align - 1) / align * align);
    if (memory == nullptr)
        throw std::bad_alloc();
    return memory;
}

} // namespace

void* operator new(std::size_t bytes) { return Allocate(bytes); }
void* operator new[](std::size_t bytes) { return Allocate(bytes); }
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept
{
    try {
        return Allocate(bytes);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t bytes, const std::nothrow_t& tag) noexcept { return operator new(bytes, tag); }
void* operator new(std::size_t bytes, std::align_val_t alignment) { return AllocateAligned(bytes, alignment); }
void* operator new[](std::size_t bytes, std::align_val_t alignment) { return AllocateAligned(bytes, alignment); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, std::align_val_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::align_val_t) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t, std::align_val_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t, std::align_val_t) noexcept { std::free(memory); }

namespace {

using host_test::OptionsFileBytes;

/// The largest single request while the file at path is read. The stream's
/// own buffer and the file's bytes are the largest things a good reader
/// needs; 64 KiB is far above both for files of a few hundred bytes.
constexpr std::size_t kReasonableRequest = 64 * 1024;

std::size_t LargestRequestReading(const std::string& path)
{
    largestRequest.store(0);
    watching.store(true);
    {
        CAppOptions options(path);
        options.DisableSaveOnExit();
    }
    watching.store(false);
    return largestRequest.load();
}

OptionsFileBytes Body()
{
    OptionsFileBytes file = OptionsFileBytes::Head(3);
    for (int i = 0; i < 11; ++i)
        file.Int(i);
    return file;
}

} // namespace

TEST(AppOptionsAllocation, HugeCountsAndLengthsAskForLittle)
{
    host_test::ScratchFolder folder;
    const std::string path = folder / "Corvane.opt";

    OptionsFileBytes hugeCount = Body();
    hugeCount.Int(INT32_MAX).Path("/one");
    OptionsFileBytes hugeCountPlausibleRest = Body();
    hugeCountPlausibleRest.Int(0x0fffffff);
    for (int i = 0; i < 8; ++i)
        hugeCountPlausibleRest.Path("/vst");
    OptionsFileBytes hugeLength = Body();
    hugeLength.Int(1).Int(INT32_MAX).Raw("/partial");
    OptionsFileBytes negativeLength = Body();
    negativeLength.Int(1).Int(-2).Raw("/partial");
    OptionsFileBytes fine = Body();
    fine.Paths({"/usr/lib/vst"});

    for (const OptionsFileBytes* file : {&hugeCount, &hugeCountPlausibleRest, &hugeLength, &negativeLength, &fine}) {
        host_test::WriteBytes(path, file->bytes);
        EXPECT_LE(LargestRequestReading(path), kReasonableRequest) << file->Size() << "-byte file";
    }
}
