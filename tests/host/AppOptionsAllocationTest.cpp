// A damaged options file must never make the reader ask for more memory
// than the file could fill. The shared allocation counter replaces global
// operator new and delete and records the largest single request made while
// a file is read, which is why this is an executable of its own.

#include <gtest/gtest.h>

#include <cstdint>

#include "host/AppOptions.h"
#include "tests/host/HostTestSupport.h"
#include "tests/host/OptionsFileBytes.h"
#include "tests/support/AllocationCounter.h"

namespace {

using allocation_counting::counting;
using allocation_counting::largestRequest;
using host_test::OptionsFileBytes;

/// The largest single request while the file at path is read. The stream's
/// own buffer and the file's bytes are the largest things a good reader
/// needs; 64 KiB is far above both for files of a few hundred bytes.
constexpr std::size_t kReasonableRequest = 64 * 1024;

std::size_t LargestRequestReading(const std::string& path)
{
    largestRequest.store(0);
    counting.store(true);
    {
        CAppOptions options(path);
        options.DisableSaveOnExit();
    }
    counting.store(false);
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
