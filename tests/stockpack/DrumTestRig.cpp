#include "tests/stockpack/DrumTestRig.h"

#include <cmath>
#include <complex>
#include <numbers>

#include "framework/AudioBuffer.h"
#include "framework/ControlBuffer.h"
#include "framework/Port.h"
#include "stockpack/dsp/Fft.h"

namespace stock_test {

namespace {

/// The first input and the first output port of the machine.
CPort* FindPort(CMachine& machine, int flagsWanted)
{
    const int count = machine.portCount;
    CPort** ports = machine.ports;
    for (int i = 0; i < count; ++i) {
        const int flags = ports[i]->flags;
        if ((flags & flagsWanted) == flagsWanted)
            return ports[i];
    }
    return nullptr;
}

} // namespace

void CDrumRig::Queue(const ControlEvent& event)
{
    FindPort(*machine, kPortControl | kPortInput)->control->Insert(&event);
}

void CDrumRig::NoteOn(int note, int time)
{
    Queue(MakeControlEvent(kEventNoteOn, time, note, 1.0, CStockTestHost::NoteHz(note)));
}

void CDrumRig::NoteOff(int note, int time)
{
    Queue(MakeControlEvent(kEventNoteOff, time, note, 0.0));
}

void CDrumRig::TriggerOn(int trigger, int time)
{
    Queue(MakeControlEvent(kEventTriggerOn, time, trigger, 1.0));
}

void CDrumRig::Render(int blocks)
{
    const CAudioBuffer* out = FindPort(*machine, kPortAudio | kPortOutput)->audio;
    for (int b = 0; b < blocks; ++b) {
        machine->Work();
        const int length = out->length;
        left.insert(left.end(), out->left, out->left + length);
        if (out->right != nullptr)
            right.insert(right.end(), out->right, out->right + length);
    }
}

void CDrumRig::RenderSamples(int samples)
{
    const std::size_t target = left.size() + static_cast<std::size_t>(samples);
    while (left.size() < target)
        Render(1);
}

void CDrumRig::ClearCapture()
{
    left.clear();
    right.clear();
}

double SpectralCentroidHz(const std::vector<double>& x, int sampleRate, std::size_t start, std::size_t length)
{
    std::vector<CFft::Complex> data(length);
    for (std::size_t i = 0; i < length; ++i) {
        const double w = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) / length);
        data[i] = x[start + i] * w;
    }
    CFft fft(static_cast<int>(length));
    fft.Forward(data.data());
    double weighted = 0.0, total = 0.0;
    for (std::size_t k = 1; k < length / 2; ++k) {
        const double power = std::norm(data[k]);
        weighted += power * static_cast<double>(k) * sampleRate / static_cast<double>(length);
        total += power;
    }
    return total > 0.0 ? weighted / total : 0.0;
}

} // namespace stock_test
