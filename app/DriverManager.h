#pragma once
// CDriverManager: the three output drivers side by side, at fixed indexes
// (0 null, 1 Wave Out over ALSA, 2 ASIO over JACK), and which one is
// current. Exactly one driver is started at a time.

#include <array>
#include <memory>
#include <vector>

#include "drivers/AudioOutputDriver.h"
#include "drivers/OptionsRepair.h"

class CAppOptions;

class CDriverManager {
public:
    static constexpr int kNull = 0;
    static constexpr int kWaveOut = 1;
    static constexpr int kAsio = 2;
    static constexpr int kDriverCount = 3;

    /// Creates the drivers in index order, each from its options, and picks
    /// the current one: on first start the Wave Out driver when it is
    /// available (else the null driver), stored in the options; later the
    /// stored index, when it names a driver. Unusable stored values are
    /// put back to their defaults first (see OptionRepairs).
    explicit CDriverManager(CAppOptions& options);
    ~CDriverManager();
    CDriverManager(const CDriverManager&) = delete;
    CDriverManager& operator=(const CDriverManager&) = delete;

    CAudioOutputDriver& Current() { return *Driver(current); }
    int CurrentIndex() const { return current; }
    /// The driver at index; a slot without a driver gives the null driver.
    CAudioOutputDriver* Driver(int index);
    bool HasDriver(int index) const;
    void SetCurrent(int index);
    /// The options values that were unusable and replaced at construction.
    const std::vector<OptionRepair>& OptionRepairs() const { return optionRepairs; }

private:
    std::vector<OptionRepair> optionRepairs;
    std::array<std::unique_ptr<CAudioOutputDriver>, kDriverCount> drivers;
    int current = kNull;
};
