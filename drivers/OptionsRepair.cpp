#include "drivers/OptionsRepair.h"

#include <cstdio>

#include "drivers/AudioOutputDriver.h"
#include "host/AppOptions.h"

namespace {

constexpr std::int32_t kDefaultFormat = 2048;   // 44.1 kHz, 16 bit, stereo
constexpr std::int32_t kHighestDriver = 2;      // 0 null, 1 Wave Out, 2 ASIO

void Check(std::vector<OptionRepair>& repairs, const char* field, std::int32_t& value, bool usable,
           std::int32_t fallback)
{
    if (usable)
        return;
    repairs.push_back(OptionRepair{field, value, fallback});
    value = fallback;
}

} // namespace

std::vector<OptionRepair> RepairOptions(CAppOptions& options)
{
    std::vector<OptionRepair> repairs;
    Check(repairs, "Output Driver", options.outputDriver,
          options.outputDriver >= -1 && options.outputDriver <= kHighestDriver, -1);
    // Buffer sizes are not checked here: each driver rounds any stored size
    // into its own range, as it always has.
    Check(repairs, "Null Format", options.nullFormat, IsValidFormatFlag(options.nullFormat), kDefaultFormat);
    Check(repairs, "Wave Out Device", options.waveOutDevice, options.waveOutDevice >= 0, 0);
    Check(repairs, "Wave Out Format", options.waveOutFormat, IsValidFormatFlag(options.waveOutFormat),
          kDefaultFormat);
    Check(repairs, "ASIO Driver", options.asioDriver, options.asioDriver >= 0, 0);
    Check(repairs, "Options Window Width", options.optionsWindowWidth, options.optionsWindowWidth >= 0, 0);
    Check(repairs, "Options Window Height", options.optionsWindowHeight, options.optionsWindowHeight >= 0, 0);
    return repairs;
}

std::string DescribeOptionRepair(const std::string& path, const OptionRepair& repair)
{
    char text[1024];
    std::snprintf(text, sizeof text, "Options File '%s': %s %i Is Not Usable, %i Used Instead", path.c_str(),
                  repair.field.c_str(), static_cast<int>(repair.stored), static_cast<int>(repair.used));
    return text;
}
