#pragma once
// What the three output drivers would play through on this machine, for
// the command line's driver list: each driver's availability, its devices
// with their rates and channels, and the format it would run at. Probing
// opens devices and may join the JACK server briefly; user-interface
// thread.

#include <string>
#include <vector>

class CAppOptions;
class CASIODriver;
class CNullDriver;
class CWaveOutDriver;

/// One device of a driver: an ALSA playback PCM, or an ASIO-style driver.
struct DriverDevice {
    std::string name;          // what the device is opened by
    std::string description;   // what the user is shown
    bool selected = false;     // the one the driver would use
    std::vector<int> sampleRates;        // ascending
    std::vector<std::string> formats;    // "44.1kHz, 16bit, Stereo", or "48.0kHz"
    int channels = 0;                    // most output channels
    int minBufferSize = 0;               // ASIO-style drivers only
    int maxBufferSize = 0;
    int preferredBufferSize = 0;
    int granularity = 0;
};

struct DriverDescription {
    int index = 0;            // the driver manager's: 0 null, 1 Wave Out, 2 ASIO
    std::string name;         // "Null", "Wave Out", "ASIO"
    bool available = false;
    std::string error;        // why it could not even be created, else ""
    int sampleRate = 0;       // what it would run at
    int bufferSize = 0;
    int channels = 0;
    int bitsPerSample = 0;
    std::vector<DriverDevice> devices;
};

DriverDescription DescribeDriver(CNullDriver& driver);
DriverDescription DescribeDriver(CWaveOutDriver& driver);
DriverDescription DescribeDriver(CASIODriver& driver);

/// Creates the three drivers from a copy of the options (the options
/// themselves are left as they are) and describes each, null first.
std::vector<DriverDescription> ProbeDrivers(const CAppOptions& options);

/// The descriptions as lines of text, one block per driver.
std::string FormatDriverList(const std::vector<DriverDescription>& drivers);
