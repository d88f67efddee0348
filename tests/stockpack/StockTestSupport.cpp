#include "tests/stockpack/StockTestSupport.h"

#include <algorithm>
#include <cstring>
#include <numbers>

#include "framework/AudioBuffer.h"
#include "framework/ControlBuffer.h"
#include "framework/Machine.h"
#include "framework/Port.h"
#include "stockpack/razuzuri/RazuZuri.h"

namespace stock_test {

CStockTestHost::~CStockTestHost()
{
    for (CMachineInfo* info : registered)
        info->Release();
}

int CStockTestHost::RegisterMachineInfo(CMachineInfo* info)
{
    registered.push_back(info);
    return 0;
}

int CStockTestHost::GetNoteFrequency(unsigned note, double* out)
{
    if (note >= 128) {
        *out = 0.0;
        return 2;
    }
    *out = NoteHz(static_cast<int>(note));
    return 0;
}

int CStockTestHost::GetBankServer(CBankServer** out)
{
    *out = nullptr;
    return 1;
}

void CStockTestHost::OnParameterChanged(CMachine* machine, int index, double value)
{
    ++parameterReports;
    machine->SetParameter(index, value);
}

::testing::AssertionResult HasPorts(CMachine& machine, std::initializer_list<ExpectedPort> expected)
{
    // The machine's fields are packed: copies, never references to them.
    const int count = machine.portCount;
    CPort** ports = machine.ports;
    if (count != static_cast<int>(expected.size()))
        return ::testing::AssertionFailure() << count << " ports, not " << expected.size();
    int index = 0;
    for (const ExpectedPort& want : expected) {
        const CPort* port = ports[index];
        if (port == nullptr)
            return ::testing::AssertionFailure() << "no port " << index;
        const std::int32_t flags = port->flags;
        const char* name = port->name;
        const CMachine* owner = port->owner;
        const bool hasAudio = port->audio != nullptr;
        const bool hasControl = port->control != nullptr;
        if (flags != want.flags || std::strcmp(name, want.name) != 0)
            return ::testing::AssertionFailure() << "port " << index << " is \"" << name << "\" 0x" << std::hex
                                                 << flags << ", not \"" << want.name << "\" 0x" << want.flags;
        if (owner != &machine)
            return ::testing::AssertionFailure() << "port " << index << " belongs to another machine";
        if (hasAudio != ((flags & kPortAudio) != 0) || hasControl != ((flags & kPortControl) != 0))
            return ::testing::AssertionFailure() << "port " << index << " lacks the buffers of its kind";
        ++index;
    }
    return ::testing::AssertionSuccess();
}

CSynthRig::CSynthRig(bool polyphonic, int blockSize, int sampleRate)
{
    host.blockSize = blockSize;
    host.sampleRate = sampleRate;
    synth = std::make_unique<CRazuZuri>(&host, nullptr, polyphonic);
}

CSynthRig::~CSynthRig() = default;

void CSynthRig::Set(int index, double value)
{
    synth->SetParameter(index, value);
}

void CSynthRig::Queue(const ControlEvent& event)
{
    synth->ports[CRazuZuri::kControlInPort]->control->Insert(&event);
}

void CSynthRig::NoteOn(int note, int time, double velocity)
{
    Queue(MakeControlEvent(kEventNoteOn, time, note, velocity, CStockTestHost::NoteHz(note)));
}

void CSynthRig::NoteOff(int note, int time)
{
    Queue(MakeControlEvent(kEventNoteOff, time, note, 0.0));
}

void CSynthRig::Render(int blocks)
{
    const CAudioBuffer* out = synth->ports[CRazuZuri::kLineOutPort]->audio;
    for (int b = 0; b < blocks; ++b) {
        synth->Work();
        left.insert(left.end(), out->left, out->left + out->length);
        right.insert(right.end(), out->right, out->right + out->length);
    }
}

void CSynthRig::RenderSamples(int samples)
{
    const std::size_t target = left.size() + static_cast<std::size_t>(samples);
    while (left.size() < target)
        Render(1);
}

void CSynthRig::ClearCapture()
{
    left.clear();
    right.clear();
}

double ToneAmplitude(const std::vector<double>& x, double hz, int sampleRate, std::size_t start, std::size_t length)
{
    // 4-term Blackman-Harris.
    constexpr double a0 = 0.35875, a1 = 0.48829, a2 = 0.14128, a3 = 0.01168;
    double re = 0.0, im = 0.0, windowSum = 0.0;
    const double n = static_cast<double>(length - 1);
    const double omega = 2.0 * std::numbers::pi * hz / sampleRate;
    for (std::size_t i = 0; i < length; ++i) {
        const double phase = 2.0 * std::numbers::pi * static_cast<double>(i) / n;
        const double w = a0 - a1 * std::cos(phase) + a2 * std::cos(2 * phase) - a3 * std::cos(3 * phase);
        const double v = x[start + i] * w;
        re += v * std::cos(omega * static_cast<double>(i));
        im -= v * std::sin(omega * static_cast<double>(i));
        windowSum += w;
    }
    return 2.0 * std::hypot(re, im) / windowSum;
}

double Rms(const std::vector<double>& x, std::size_t start, std::size_t length)
{
    double sum = 0.0;
    for (std::size_t i = start; i < start + length; ++i)
        sum += x[i] * x[i];
    return std::sqrt(sum / static_cast<double>(length));
}

double Peak(const std::vector<double>& x, std::size_t start, std::size_t length)
{
    double peak = 0.0;
    for (std::size_t i = start; i < start + length; ++i)
        peak = std::max(peak, std::fabs(x[i]));
    return peak;
}

double ZeroCrossingHz(const std::vector<double>& x, int sampleRate, std::size_t start, std::size_t length)
{
    double first = -1.0, last = -1.0;
    int crossings = 0;
    for (std::size_t i = start + 1; i < start + length; ++i) {
        if (x[i - 1] < 0.0 && x[i] >= 0.0) {
            const double t = static_cast<double>(i - 1) + (-x[i - 1]) / (x[i] - x[i - 1]);
            if (crossings == 0)
                first = t;
            last = t;
            ++crossings;
        }
    }
    if (crossings < 2)
        return 0.0;
    return (crossings - 1) * sampleRate / (last - first);
}

long FirstAbove(const std::vector<double>& x, double threshold, std::size_t start)
{
    for (std::size_t i = start; i < x.size(); ++i) {
        if (std::fabs(x[i]) > threshold)
            return static_cast<long>(i);
    }
    return -1;
}

std::vector<double> Sine(double hz, int sampleRate, std::size_t length, double amplitude)
{
    std::vector<double> x(length);
    for (std::size_t i = 0; i < length; ++i)
        x[i] = amplitude * std::sin(2.0 * std::numbers::pi * hz * static_cast<double>(i) / sampleRate);
    return x;
}

} // namespace stock_test
