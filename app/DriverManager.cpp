#include "app/DriverManager.h"

#include "drivers/ASIODriver.h"
#include "drivers/NullDriver.h"
#include "drivers/WaveOutDriver.h"
#include "host/AppOptions.h"

CDriverManager::CDriverManager(CAppOptions& options) : optionRepairs(RepairOptions(options))
{
    drivers[kNull] = std::make_unique<CNullDriver>(options);
    drivers[kWaveOut] = std::make_unique<CWaveOutDriver>(options);
    drivers[kAsio] = std::make_unique<CASIODriver>(options);
    if (options.outputDriver == -1) {
        const bool waveOut = HasDriver(kWaveOut) && drivers[kWaveOut]->IsAvailable();
        current = waveOut ? kWaveOut : kNull;
        options.outputDriver = current;
    } else {
        current = options.outputDriver >= 0 && options.outputDriver < kDriverCount ? options.outputDriver : kNull;
    }
    if (!HasDriver(current))
        current = kNull;
}

CDriverManager::~CDriverManager()
{
    // Drivers are stopped by the application before the manager goes.
    for (int index = kDriverCount - 1; index >= 0; --index)
        drivers[static_cast<std::size_t>(index)].reset();
}

bool CDriverManager::HasDriver(int index) const
{
    return index >= 0 && index < kDriverCount && drivers[static_cast<std::size_t>(index)] != nullptr;
}

CAudioOutputDriver* CDriverManager::Driver(int index)
{
    return HasDriver(index) ? drivers[static_cast<std::size_t>(index)].get() : drivers[kNull].get();
}

void CDriverManager::SetCurrent(int index)
{
    current = HasDriver(index) ? index : kNull;
}
