#include "drivers/DriverProbe.h"

#include <cstdio>
#include <memory>

#include "drivers/ASIODriver.h"
#include "drivers/NullDriver.h"
#include "drivers/WaveOutDriver.h"
#include "framework/Error.h"
#include "host/AppOptions.h"

namespace {

constexpr int kRates[5] = {11025, 22050, 44100, 48000, 96000};

template <class Driver>
void DescribeCommon(Driver& driver, int index, DriverDescription& description)
{
    description.index = index;
    description.name = driver.GetName();
    description.available = driver.IsAvailable();
    description.sampleRate = driver.GetSampleRate();
    description.bufferSize = driver.GetBufferSize();
    description.channels = driver.GetChannelCount();
    description.bitsPerSample = driver.GetBitsPerSample();
}

template <class Driver>
DriverDescription DescribeOrExplain(int index, const char* name, CAppOptions& options)
{
    try {
        Driver driver(options);
        return DescribeDriver(driver);
    } catch (const CError& error) {
        DriverDescription description;
        description.index = index;
        description.name = name;
        description.error = error.what();
        return description;
    }
}

std::string Join(const std::vector<std::string>& items)
{
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : "; ") + item;
    return text;
}

std::string RateList(const std::vector<int>& rates)
{
    std::string text;
    for (int rate : rates)
        text += (text.empty() ? "" : " ") + std::to_string(rate);
    return text.empty() ? "none" : text;
}

} // namespace

DriverDescription DescribeDriver(CNullDriver& driver)
{
    DriverDescription description;
    DescribeCommon(driver, 0, description);
    return description;
}

DriverDescription DescribeDriver(CWaveOutDriver& driver)
{
    DriverDescription description;
    DescribeCommon(driver, 1, description);
    const auto& devices = driver.Devices();
    for (std::size_t d = 0; d < devices.size(); ++d) {
        DriverDevice device;
        device.name = devices[d].name;
        device.description = devices[d].description;
        device.selected = static_cast<int>(d) == driver.GetDeviceIndex();
        device.channels = devices[d].channels;
        for (int nibble = 0; nibble < 5; ++nibble) {
            const std::int32_t bits = (devices[d].formats >> (4 * nibble)) & 0xF;
            if (bits != 0)
                device.sampleRates.push_back(kRates[nibble]);
            for (int layout = 0; layout < 4; ++layout) {
                if (bits & (1 << layout))
                    device.formats.push_back(CWaveOutDriver::DescribeFormat((1 << layout) << (4 * nibble)));
            }
        }
        description.devices.push_back(std::move(device));
    }
    return description;
}

DriverDescription DescribeDriver(CASIODriver& driver)
{
    DriverDescription description;
    DescribeCommon(driver, 2, description);
    const auto& records = driver.Drivers();
    for (std::size_t d = 0; d < records.size(); ++d) {
        const CASIODriver::DriverRecord& record = records[d];
        DriverDevice device;
        device.name = record.name;
        device.description = record.name;
        device.selected = static_cast<int>(d) == driver.GetSelected();
        device.channels = record.outputCount;
        for (int k = 0; k < 5; ++k) {
            if (record.rateFlags & (1 << k)) {
                device.sampleRates.push_back(kRates[k]);
                device.formats.push_back(CASIODriver::DescribeRate(1 << k, 0));
            }
        }
        // A server at a rate outside the five still plays, at its own rate.
        if (record.rateFlags == 0 && record.currentSampleRate > 0) {
            device.sampleRates.push_back(record.currentSampleRate);
            device.formats.push_back(CASIODriver::DescribeRate(0, record.currentSampleRate));
        }
        device.minBufferSize = record.minBufferSize;
        device.maxBufferSize = record.maxBufferSize;
        device.preferredBufferSize = record.preferredBufferSize;
        device.granularity = record.granularity;
        description.devices.push_back(std::move(device));
    }
    return description;
}

std::vector<DriverDescription> ProbeDrivers(const CAppOptions& options)
{
    // The drivers correct the settings they read and write them back; a
    // scratch record keeps the real one untouched.
    CAppOptions scratch("");
    scratch.DisableSaveOnExit();
    scratch.outputDriver = options.outputDriver;
    scratch.nullBufferSize = options.nullBufferSize;
    scratch.nullFormat = options.nullFormat;
    scratch.waveOutDevice = options.waveOutDevice;
    scratch.waveOutBufferSize = options.waveOutBufferSize;
    scratch.waveOutFormat = options.waveOutFormat;
    scratch.asioDriver = options.asioDriver;
    scratch.asioSetting = options.asioSetting;
    scratch.asioRateFlags = options.asioRateFlags;

    std::vector<DriverDescription> drivers;
    drivers.push_back(DescribeOrExplain<CNullDriver>(0, "Null", scratch));
    drivers.push_back(DescribeOrExplain<CWaveOutDriver>(1, "Wave Out", scratch));
    drivers.push_back(DescribeOrExplain<CASIODriver>(2, "ASIO", scratch));
    return drivers;
}

std::string FormatDriverList(const std::vector<DriverDescription>& drivers)
{
    std::string text;
    char line[512];
    for (const DriverDescription& driver : drivers) {
        // The list names the Linux system beneath each driver: the names
        // --driver takes beside the drivers' own.
        const char* system = driver.index == 1 ? " (ALSA)" : driver.index == 2 ? " (JACK)" : "";
        const std::string name = driver.name + system;
        if (!driver.error.empty()) {
            std::snprintf(line, sizeof line, "%i %s: not available (%s)\n", driver.index, name.c_str(),
                          driver.error.c_str());
            text += line;
            continue;
        }
        if (!driver.available) {
            std::snprintf(line, sizeof line, "%i %s: not available\n", driver.index, name.c_str());
            text += line;
            continue;
        }
        std::snprintf(line, sizeof line, "%i %s: available, %i Hz, %i frames, %i channels\n", driver.index,
                      name.c_str(), driver.sampleRate, driver.bufferSize, driver.channels);
        text += line;
        for (const DriverDevice& device : driver.devices) {
            const std::string label =
                device.description == device.name ? device.name : device.name + " (" + device.description + ")";
            std::snprintf(line, sizeof line, "  %s %s: rates %s; %i channels\n", device.selected ? "*" : "-",
                          label.c_str(), RateList(device.sampleRates).c_str(), device.channels);
            text += line;
            // An ASIO-style driver has buffer sizes and only rates; a Wave Out
            // device has formats.
            if (device.preferredBufferSize > 0) {
                std::snprintf(line, sizeof line, "      buffer %i frames (%i to %i)\n", device.preferredBufferSize,
                              device.minBufferSize, device.maxBufferSize);
                text += line;
            } else if (!device.formats.empty()) {
                text += "      formats: " + Join(device.formats) + "\n";
            }
        }
    }
    return text;
}
