#pragma once
// The ALSA world of the tests: a configuration of their own, written to a
// scratch folder and given to ALSA through ALSA_CONFIG_PATH, in which every
// playback device is a `file` PCM over `null`, so the bytes a driver plays
// end up in a file the test reads back. Devices, in list order:
//
//   "default"  any rate, 8 or 16 bit, mono or stereo   -> default.raw
//   "mono"     one channel only (a `multi` of one)     -> mono.raw
//   "full"     writes into /dev/full: fails while playing
//   "discard"  a plain `null` PCM, which the list leaves out
//
// Null devices have no clock: they take data as fast as it comes, so
// playback runs flat out and the tests wait for block counts, not time.

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace alsa_test {

class CAlsaTestConfig {
public:
    /// Writes the configuration once per process and points ALSA at it.
    static CAlsaTestConfig& Use();
    ~CAlsaTestConfig();

    /// The file a device writes into ("default" or "mono").
    std::string OutputFile(const std::string& device) const { return folder + "/" + device + ".raw"; }
    const std::string& Folder() const { return folder; }
    const std::string& ConfigPath() const { return configPath; }

private:
    CAlsaTestConfig();
    std::string folder;
    std::string configPath;
};

/// Points ALSA at another configuration while it lives.
class CScopedAlsaConfig {
public:
    explicit CScopedAlsaConfig(const std::string& text);
    ~CScopedAlsaConfig();

private:
    std::string path;
};

std::vector<unsigned char> ReadFile(const std::string& path);

/// Polls until done() holds or the bound passes; false then, so a broken
/// driver fails the test instead of hanging it.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds bound = std::chrono::seconds(10));

} // namespace alsa_test
