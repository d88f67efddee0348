#include "tests/host/TestMachines.h"

#include <chrono>
#include <cmath>
#include <numbers>

#include "machines/BuiltinMachines.h"
#include "platform/Thread.h"

namespace engine_test {

namespace {

// Long enough that only a real failure to meet reaches it, short enough
// that a failing test ends instead of hanging.
constexpr auto kMeetingBound = std::chrono::seconds(10);

} // namespace

CEngineMachine::CEngineMachine(CCorvHost* host, std::initializer_list<PortSpec> portSpecs, int parameters)
    : CMachine(host), values(static_cast<std::size_t>(parameters), 0.0)
{
    parameterCount = parameters;
    portCount = static_cast<std::int32_t>(portSpecs.size());
    ports = portCount > 0 ? new CPort*[portSpecs.size()] : nullptr;
    int i = 0;
    for (const PortSpec& portSpec : portSpecs)
        ports[i++] = new CPort(host, this, portSpec.flags, portSpec.name);
    parameterSets.reserve(kRecordCapacity);
}

CEngineMachine::~CEngineMachine()
{
    for (int i = 0; i < portCount; ++i)
        delete ports[i];
    delete[] ports;
}

void CEngineMachine::Work()
{
    const int count = workCount.fetch_add(1) + 1;
    if (clock != nullptr)
        workStamp = clock->fetch_add(1);
    platform::Thread* current = platform::Thread::Current();
    if (count == 1) {
        workThread = current;
        workThreadId = std::this_thread::get_id();
    } else if (workThread.load() != current || workThreadId.load() != std::this_thread::get_id()) {
        workThreadChanged = true;
    }
    lockedInWork = IsLockedByCaller();
    Render();
}

void CEngineMachine::WorkReturns()
{
    returnsCount.fetch_add(1);
    if (clock != nullptr)
        returnsStamp = clock->fetch_add(1);
    RenderReturns();
}

void CEngineMachine::SetSampleRate(int rate)
{
    sampleRate = rate;
    formatCallsLocked = formatCallsLocked && IsLockedByCaller();
}

void CEngineMachine::SetBlockSize(int length)
{
    blockSize = length;
    formatCallsLocked = formatCallsLocked && IsLockedByCaller();
    for (int i = 0; i < portCount; ++i) {
        if (ports[i]->audio != nullptr) {
            portLengthAtSetBlockSize = ports[i]->audio->length;
            break;
        }
    }
}

void CEngineMachine::Idle()
{
    idleCount.fetch_add(1);
}

double CEngineMachine::GetParameter(int index)
{
    return index >= 0 && index < parameterCount ? values[static_cast<std::size_t>(index)] : 0.0;
}

void CEngineMachine::SetParameter(int index, double value)
{
    parameterSets.push_back({index, value, updateDepth, IsLockedByCaller()});
    if (index >= 0 && index < parameterCount)
        values[static_cast<std::size_t>(index)] = value;
}

CSource::CSource(CCorvHost* host, bool stereo) : CEngineMachine(host, {{stereo ? kStereoOut : kMonoOut, "Out"}}) {}

void CSource::Render()
{
    const int block = workCount.load();
    CAudioBuffer& out = Audio(0);
    for (int s = 0; s < out.length; ++s)
        out.left[s] = Sample(block, s, 0);
    if (out.right != nullptr) {
        for (int s = 0; s < out.length; ++s)
            out.right[s] = Sample(block, s, 1);
    }
}

CSineSource::CSineSource(CCorvHost* host, bool stereo, double frequencyHz, double amplitude)
    : CSource(host, stereo), frequencyHz(frequencyHz), amplitude(amplitude)
{
}

double CSineSource::Sample(int block, int s, int channel)
{
    const double frame = static_cast<double>(block - 1) * Audio(0).length + s;
    const double phase = 2.0 * std::numbers::pi * frequencyHz * frame / host->GetSampleRate();
    return amplitude * (channel == 0 ? std::sin(phase) : std::cos(phase));
}

CGain::CGain(CCorvHost* host, bool stereoIn, bool stereoOut, double factor)
    : CEngineMachine(host, {{stereoIn ? kStereoIn : kMonoIn, "In"}, {stereoOut ? kStereoOut : kMonoOut, "Out"}}),
      factor(factor)
{
    firstInputs.reserve(kRecordCapacity);
}

void CGain::Render()
{
    const CAudioBuffer& in = Audio(0);
    CAudioBuffer& out = Audio(1);
    if (in.length > 0)
        firstInputs.push_back(in.left[0]);
    const int frames = in.length < out.length ? in.length : out.length;
    for (int s = 0; s < frames; ++s)
        out.left[s] = in.left[s] * factor;
    if (out.right != nullptr) {
        const double* from = in.right != nullptr ? in.right : in.left;
        for (int s = 0; s < frames; ++s)
            out.right[s] = from[s] * factor;
    }
}

CProbe::CProbe(CCorvHost* host, bool stereo) : CEngineMachine(host, {{stereo ? kStereoIn : kMonoIn, "In"}}) {}

void CProbe::Capture(std::size_t frames)
{
    capturedLeft.reserve(frames);
    capturedRight.reserve(frames);
}

void CProbe::Render()
{
    const CAudioBuffer& in = Audio(0);
    for (int s = 0; s < in.length && capturedLeft.size() < capturedLeft.capacity(); ++s) {
        capturedLeft.push_back(in.left[s]);
        if (in.right != nullptr)
            capturedRight.push_back(in.right[s]);
    }
}

CControlSource::CControlSource(CCorvHost* host) : CEngineMachine(host, {{kControlOut, "Events Out"}})
{
    scheduled.reserve(64);
}

void CControlSource::EmitInBlock(int block, ControlEvent event)
{
    scheduled.push_back({block, event});
}

void CControlSource::Render()
{
    const int block = workCount.load();
    for (const Scheduled& entry : scheduled) {
        if (entry.block == 0 || entry.block == block)
            Control(0).Insert(&entry.event);
    }
}

CControlProbe::CControlProbe(CCorvHost* host) : CEngineMachine(host, {{kControlIn, "Events In"}})
{
    seen.reserve(kRecordCapacity);
}

void CControlProbe::Render()
{
    const int block = workCount.load();
    CControlBuffer& in = Control(0);
    for (int i = 0; i < in.Count(); ++i) {
        const ControlEvent* event = in.At(i);
        if (seen.size() < seen.capacity())
            seen.push_back({block, event->time, event->type, event->index, event->value});
    }
}

CSendReturnMixer::CSendReturnMixer(CCorvHost* host)
    : CEngineMachine(host, {{kMonoIn, "In"}, {kSendOut, "Send"}, {kReturnIn, "Return"}, {kMonoOut, "Out"}})
{
    firstReturns.reserve(kRecordCapacity);
}

void CSendReturnMixer::Render()
{
    const CAudioBuffer& in = Audio(0);
    CAudioBuffer& send = Audio(1);
    CAudioBuffer& ret = Audio(2);
    CAudioBuffer& out = Audio(3);
    for (int s = 0; s < in.length; ++s) {
        send.left[s] = in.left[s];
        out.left[s] = in.left[s];
    }
    const double base = returnBase.load();
    for (int s = 0; s < ret.length; ++s)
        ret.left[s] = base;
}

void CSendReturnMixer::RenderReturns()
{
    const CAudioBuffer& ret = Audio(2);
    CAudioBuffer& out = Audio(3);
    if (ret.length > 0)
        firstReturns.push_back(ret.left[0]);
    for (int s = 0; s < ret.length; ++s)
        out.left[s] += ret.left[s];
}

bool CRendezvous::Meet(int round)
{
    std::unique_lock<std::mutex> guard(mutex);
    ++arrivals;
    arrived.notify_all();
    // One miss decides the test; the later rounds need not wait it out again.
    if (missed.load() > 0)
        return false;
    const bool met = arrived.wait_for(guard, kMeetingBound, [&] { return arrivals >= parties * round; });
    if (!met)
        missed.fetch_add(1);
    return met;
}

void CRendezvousSource::Render()
{
    rendezvous.Meet(workCount.load());
    CSource::Render();
}

CEngineStudio::CEngineStudio(int blockSize, int channels, bool withMaster, int sampleRate)
    : host(blockSize, sampleRate, 0), blockSize(blockSize), channels(channels)
{
    host.SetRegistry(&registry);
    host.SetOutputChannelCount(channels);
    RegisterBuiltinMachines(host, registry);
    studio = std::make_unique<CStudio>(host);
    if (withMaster)
        studio->CreateMaster(registry);
    driver = std::make_unique<COfflineDriver>(sampleRate, blockSize, channels);
    driver->SetCallback(AudioCallback{&CStudio::AudioCallback, studio.get()});
    driver->Start();
}

CEngineStudio::~CEngineStudio()
{
    driver->Stop();
    studio.reset();
}

CConnection* CEngineStudio::Connect(CMachine* from, int outPort, CMachine* to, int inPort, double volume)
{
    CConnector* input = to != nullptr ? ConnectorOf(to, inPort) : MasterInput(inPort);
    return studio->Connect(ConnectorOf(from, outPort), input, volume);
}

CConnection* CEngineStudio::ConnectToMaster(CMachine* from, int outPort, int masterPort, double volume)
{
    return Connect(from, outPort, nullptr, masterPort, volume);
}

std::vector<std::vector<double>> CEngineStudio::Render(int blocks)
{
    std::vector<std::vector<double>> samples(static_cast<std::size_t>(channels));
    for (auto& channel : samples)
        channel.reserve(static_cast<std::size_t>(blocks) * static_cast<std::size_t>(blockSize));
    driver->Render(blocks, [&samples](int count, const double* const* buffers, int length) {
        for (int c = 0; c < count; ++c)
            samples[static_cast<std::size_t>(c)].insert(samples[static_cast<std::size_t>(c)].end(), buffers[c],
                                                       buffers[c] + length);
    });
    return samples;
}

} // namespace engine_test
