#pragma once
// A studio built the way the program builds one (host, registry with the
// built-in types, master), with machines that play a constant level each,
// for tests that hear the engine through a real output driver.

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "drivers/AudioOutputDriver.h"
#include "framework/AudioBuffer.h"
#include "framework/Machine.h"
#include "framework/MachineInfo.h"
#include "framework/Port.h"
#include "machines/BuiltinMachines.h"
#include "host/CorvHost.h"
#include "host/MachineContainer.h"
#include "host/MachineRegistry.h"
#include "host/Studio.h"

namespace jack_test {

/// One mono output "Out" at a constant level.
class CConstantSource : public CMachine {
public:
    CConstantSource(CHost* host, double level) : CMachine(host), level(level)
    {
        ports = new CPort*[1];
        ports[0] = new CPort(host, this, kPortAudio | kPortOutput, "Out");
        portCount = 1;
    }
    ~CConstantSource() override
    {
        delete ports[0];
        delete[] ports;
    }
    void Work() override
    {
        CAudioBuffer& out = *ports[0]->audio;
        for (int s = 0; s < out.length; ++s)
            out.left[s] = level;
    }
    void SetSampleRate(int) override {}
    void SetBlockSize(int) override {}
    bool IsInstrument() override { return true; }

private:
    double level;
};

class CConstantSourceInfo : public CMachineInfo {
public:
    CConstantSourceInfo()
    {
        name = "Constant";
        identifier = "Constant";
    }
    CMachine* CreateMachine() override { return nullptr; }
};

class CStudioRig {
public:
    CStudioRig(int blockSize, int sampleRate, int channels) : host(blockSize, sampleRate, 0)
    {
        host.SetRegistry(&registry);
        host.SetOutputChannelCount(channels);
        RegisterBuiltinMachines(host, registry);
        studio = std::make_unique<CStudio>(host);
        studio->CreateMaster(registry);
        studio->UpdateMasterInputs();
    }
    ~CStudioRig() { studio.reset(); }

    /// Plays level into the master's input port.
    void FeedMaster(int port, double level)
    {
        auto* source = new CConstantSource(&host, level);
        CMachineContainer* container =
            studio->AddMachine(source, &info, ("Constant " + std::to_string(port + 1)).c_str(), 0, 0);
        studio->Connect(container->connectors[0], studio->MasterContainer()->connectors[port]);
    }

    std::vector<std::string> MasterInputNames() const
    {
        std::vector<std::string> names;
        CMachine* master = studio->MasterContainer()->machine;
        for (int i = 0; i < master->portCount; ++i) {
            const char* name = master->ports[i]->name;   // read by value: the record is packed
            names.push_back(std::string(name));
        }
        return names;
    }

    AudioCallback Callback() { return AudioCallback{&CStudio::AudioCallback, studio.get()}; }

    CCorvHost host;
    CMachineRegistry registry;
    CConstantSourceInfo info;
    std::unique_ptr<CStudio> studio;
};

} // namespace jack_test
