#pragma once
// Small machines for the engine tests, and a studio built the way the
// program builds one (host, registry with the built-in types, master).
//
// Every test machine records how it was run: how many Work and WorkReturns
// calls, on which thread, whether its lock was held, and a stamp from a
// clock shared by the whole studio, so that tests can check the order in
// which machines ran across threads. Per-block records go into vectors
// reserved up front, so recording allocates nothing during a render.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "drivers/OfflineDriver.h"
#include "framework/AudioBuffer.h"
#include "framework/ControlBuffer.h"
#include "framework/ControlEvent.h"
#include "framework/Machine.h"
#include "framework/MachineInfo.h"
#include "framework/Port.h"
#include "host/Connector.h"
#include "host/CorvHost.h"
#include "host/MachineContainer.h"
#include "host/MachineRegistry.h"
#include "host/Studio.h"

namespace platform {
class Thread;
}

namespace engine_test {

inline constexpr std::int32_t kMonoIn = kPortAudio | kPortInput;
inline constexpr std::int32_t kStereoIn = kPortAudio | kPortInput | kPortStereo;
inline constexpr std::int32_t kMonoOut = kPortAudio | kPortOutput;
inline constexpr std::int32_t kStereoOut = kPortAudio | kPortOutput | kPortStereo;
inline constexpr std::int32_t kSendOut = kPortAudio | kPortOutput | kPortAuxiliary;
inline constexpr std::int32_t kReturnIn = kPortAudio | kPortInput | kPortAuxiliary;
inline constexpr std::int32_t kControlIn = kPortControl | kPortInput;
inline constexpr std::int32_t kControlOut = kPortControl | kPortOutput;

/// Room for this many per-block records before a vector would grow.
inline constexpr std::size_t kRecordCapacity = 4096;

struct PortSpec {
    std::int32_t flags;
    const char* name;
};

/// The recording base of every test machine.
class CEngineMachine : public CMachine {
public:
    struct ParameterSet {
        int index;
        double value;
        int updateDepth;
        bool locked;
    };

    CEngineMachine(CCorvHost* host, std::initializer_list<PortSpec> portSpecs, int parameters = 0);
    ~CEngineMachine() override;

    void Work() final;
    void WorkReturns() final;
    void SetSampleRate(int rate) override;
    void SetBlockSize(int length) override;
    void Idle() override;
    bool IsInstrument() override { return false; }
    double GetParameter(int index) override;
    void SetParameter(int index, double value) override;

    CAudioBuffer& Audio(int port) { return *ports[port]->audio; }
    CControlBuffer& Control(int port) { return *ports[port]->control; }

    /// The studio's clock; each recorded call takes the next value.
    std::atomic<int>* clock = nullptr;

    std::atomic<int> workCount{0};
    std::atomic<int> returnsCount{0};
    std::atomic<int> workStamp{-1};
    std::atomic<int> returnsStamp{-1};
    /// The platform thread of the first Work (null on threads the platform
    /// layer did not create, such as the test's own), and whether a later
    /// Work ran anywhere else.
    std::atomic<platform::Thread*> workThread{nullptr};
    std::atomic<std::thread::id> workThreadId{};
    std::atomic<bool> workThreadChanged{false};
    std::atomic<bool> lockedInWork{false};

    int sampleRate = 0;
    int blockSize = 0;
    bool formatCallsLocked = true;
    /// Length of the first audio port's buffer when SetBlockSize came.
    int portLengthAtSetBlockSize = -1;
    std::atomic<int> idleCount{0};

    std::vector<double> values;
    std::vector<ParameterSet> parameterSets;

protected:
    virtual void Render() {}
    virtual void RenderReturns() {}
};

/// One audio output; Sample gives each sample of each block.
class CSource : public CEngineMachine {
public:
    CSource(CCorvHost* host, bool stereo);

protected:
    void Render() override;
    /// block counts from 1.
    virtual double Sample(int block, int s, int channel) = 0;
};

class CConstantSource : public CSource {
public:
    CConstantSource(CCorvHost* host, bool stereo, double left, double right = 0.0)
        : CSource(host, stereo), left(left), right(right)
    {
    }
    std::atomic<double> left;
    std::atomic<double> right;

protected:
    double Sample(int, int, int channel) override { return channel == 0 ? left.load() : right.load(); }
};

/// Writes the number of its Work call on every sample (the right channel
/// the negative), so a second Work in one block would show.
class CCountingSource : public CSource {
public:
    CCountingSource(CCorvHost* host, bool stereo) : CSource(host, stereo) {}

protected:
    double Sample(int block, int, int channel) override { return channel == 0 ? block : -block; }
};

/// A sine of a given frequency and amplitude (right channel a quarter
/// period ahead).
class CSineSource : public CSource {
public:
    CSineSource(CCorvHost* host, bool stereo, double frequencyHz, double amplitude);

protected:
    double Sample(int block, int s, int channel) override;

private:
    double frequencyHz;
    double amplitude;
};

/// Silence except one sample of a given value in a given block.
class CImpulseSource : public CSource {
public:
    CImpulseSource(CCorvHost* host, int block, int sample, double value)
        : CSource(host, false), impulseBlock(block), impulseSample(sample), value(value)
    {
    }
    std::atomic<int> impulseBlock;

protected:
    double Sample(int block, int s, int) override
    {
        return block == impulseBlock.load() && s == impulseSample ? value : 0.0;
    }

private:
    int impulseSample;
    double value;
};

/// Input 0 "In", output 1 "Out" = In x factor (a mono input feeds both
/// sides of a stereo output). Records the first input sample of each block.
class CGain : public CEngineMachine {
public:
    CGain(CCorvHost* host, bool stereoIn, bool stereoOut, double factor);
    std::vector<double> firstInputs;

protected:
    void Render() override;

private:
    double factor;
};

/// An audio input only; optionally keeps every input sample it is given.
class CProbe : public CEngineMachine {
public:
    CProbe(CCorvHost* host, bool stereo);
    /// Keeps up to frames samples per channel from now on.
    void Capture(std::size_t frames);
    std::vector<double> capturedLeft;
    std::vector<double> capturedRight;

protected:
    void Render() override;
};

/// A control output that emits its events in chosen blocks (0: every block).
class CControlSource : public CEngineMachine {
public:
    explicit CControlSource(CCorvHost* host);
    void EmitInBlock(int block, ControlEvent event);

protected:
    void Render() override;

private:
    struct Scheduled {
        int block;
        ControlEvent event;
    };
    std::vector<Scheduled> scheduled;
};

/// A control input that keeps every event it finds in Work.
class CControlProbe : public CEngineMachine {
public:
    struct Seen {
        int block;
        int time;
        int type;
        int index;
        double value;
    };
    explicit CControlProbe(CCorvHost* host);
    std::vector<Seen> seen;

protected:
    void Render() override;
};

/// A mixer channel with an auxiliary send and return: 0 "In", 1 "Send"
/// (auxiliary output), 2 "Return" (auxiliary input), 3 "Out". Work copies
/// In to Send and Out and sets Return to returnBase: the engine adds the
/// returns to what the port holds, so the machine prepares it itself.
/// WorkReturns adds Return to Out. Records the return's first sample per
/// block.
class CSendReturnMixer : public CEngineMachine {
public:
    explicit CSendReturnMixer(CCorvHost* host);
    std::vector<double> firstReturns;
    std::atomic<double> returnBase{0.0};

protected:
    void Render() override;
    void RenderReturns() override;
};

/// Two or more machines meet here from inside Work: each waits, up to a
/// bound, until all have arrived for the same block. If the engine ran them
/// one after another, the first would wait out the bound and the meeting
/// would count as missed.
class CRendezvous {
public:
    explicit CRendezvous(int parties) : parties(parties) {}
    /// Arrives for round (1, 2, ...); false when the others did not come.
    bool Meet(int round);
    std::atomic<int> missed{0};

private:
    std::mutex mutex;
    std::condition_variable arrived;
    int parties;
    int arrivals = 0;
};

class CRendezvousSource : public CSource {
public:
    CRendezvousSource(CCorvHost* host, CRendezvous& rendezvous) : CSource(host, false), rendezvous(rendezvous) {}

protected:
    void Render() override;
    double Sample(int, int, int) override { return 0.25; }

private:
    CRendezvous& rendezvous;
};

/// A descriptor whose machines come from a function.
class CTestInfo : public CMachineInfo {
public:
    CTestInfo(const char* typeName, std::function<CMachine*()> factory) : factory(std::move(factory))
    {
        name = typeName;
        identifier = typeName;
    }
    CMachine* CreateMachine() override { return factory ? factory() : nullptr; }

private:
    std::function<CMachine*()> factory;
};

/// A studio as the program builds one: host, registry with the built-in
/// types, studio and (unless asked not to) the master, with an offline
/// driver calling the studio's audio callback.
class CEngineStudio {
public:
    explicit CEngineStudio(int blockSize = 256, int channels = 2, bool withMaster = true, int sampleRate = 44100);
    ~CEngineStudio();

    template <class Machine, class... Args>
    Machine* Add(const char* name, Args&&... args)
    {
        auto* machine = new Machine(&host, std::forward<Args>(args)...);
        machine->clock = &clock;
        studio->AddMachine(machine, &testInfo, name, 0, 0);
        return machine;
    }

    static CMachineContainer* ContainerOf(CMachine* machine)
    {
        return static_cast<CMachineContainer*>(machine->container);
    }
    static CConnector* ConnectorOf(CMachine* machine, int port) { return ContainerOf(machine)->connectors[port]; }
    CConnector* MasterInput(int port = 0) const { return studio->MasterContainer()->connectors[port]; }

    /// From output port of one machine to input port of another (null for
    /// the master).
    CConnection* Connect(CMachine* from, int outPort, CMachine* to, int inPort, double volume = 1.0);
    CConnection* ConnectToMaster(CMachine* from, int outPort, int masterPort = 0, double volume = 1.0);

    /// Renders blocks through the offline driver and returns every output
    /// sample of this call, per channel.
    std::vector<std::vector<double>> Render(int blocks);
    /// Renders blocks without keeping anything (warm-up, allocation counts).
    void RenderQuietly(int blocks) { driver->Render(blocks); }

    CCorvHost host;
    CMachineRegistry registry;
    CTestInfo testInfo{"Test Machine", {}};
    std::unique_ptr<CStudio> studio;
    std::unique_ptr<COfflineDriver> driver;
    std::atomic<int> clock{0};
    int blockSize;
    int channels;
};

} // namespace engine_test
