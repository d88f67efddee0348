#pragma once
// Helpers for the stock library's tests: a host whose sample rate, block
// size and note table a test controls, a check of a machine's ports, a
// RazuZuri with a way to play notes and collect what it renders, and the
// measurements the tests judge sound by (single-frequency DFT, level,
// zero-crossing frequency).

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

#include "framework/ControlEvent.h"
#include "framework/Host.h"
#include "framework/MachineInfo.h"

class CMachine;
class CRazuZuri;

namespace stock_test {

/// Host services for machines under test. Parameter reports are applied
/// through the machine's SetParameter, as the real host does for machines
/// not placed in a studio, and counted.
class CStockTestHost final : public CHost {
public:
    ~CStockTestHost();

    int RegisterMachineInfo(CMachineInfo* info) override;
    int GetNoteFrequency(unsigned note, double* out) override;
    int GetBankServer(CBankServer** out) override;
    void OnParameterChanged(CMachine* machine, int index, double value) override;
    int GetSampleCounter() override { return 0; }
    double GetTempo() override { return 120.0; }
    double GetTicksPerBeat() override { return 4.0; }
    int GetSamplesPerTick() override { return sampleRate / 8; }
    int GetSampleRate() override { return sampleRate; }
    int GetBlockSize() override { return blockSize; }
    bool SupportsFeature(int) override { return false; }
    int GetCpuFeatures() override { return cpuFeatures; }

    /// Equal temperament, note 69 = 440 Hz.
    static double NoteHz(int note) { return 440.0 * std::exp2((note - 69) / 12.0); }

    int sampleRate = 44100;
    int blockSize = 256;
    std::int32_t cpuFeatures = 0;
    int parameterReports = 0;
    std::vector<CMachineInfo*> registered;
};

/// One port a machine should have: its flags (PortFlags) and its name.
struct ExpectedPort {
    std::int32_t flags;
    const char* name;
};

/// Whether the machine has exactly these ports in this order, each with
/// its flags and name, owned by the machine, with the buffers its flags ask
/// for.
::testing::AssertionResult HasPorts(CMachine& machine, std::initializer_list<ExpectedPort> expected);

/// A RazuZuri of either type with its own host, rendered block by block.
class CSynthRig {
public:
    explicit CSynthRig(bool polyphonic, int blockSize = 256, int sampleRate = 44100);
    ~CSynthRig();

    CRazuZuri& Synth() { return *synth; }
    /// Sets a parameter the way the editor does.
    void Set(int index, double value);
    /// Queues on "Control In" for the next block.
    void NoteOn(int note, int time = 0, double velocity = 1.0);
    void NoteOff(int note, int time = 0);
    void Queue(const ControlEvent& event);

    /// Renders blocks and appends them to left and right.
    void Render(int blocks);
    /// Renders until at least samples more are collected.
    void RenderSamples(int samples);
    void ClearCapture();

    CStockTestHost host;
    std::vector<double> left;
    std::vector<double> right;

private:
    std::unique_ptr<CRazuZuri> synth;
};

// --- Measurements ---

/// Amplitude of the sinusoid at hz in x[start, start + length), through a
/// Blackman-Harris window (sidelobes below -92 dB), scaled so that a full
/// sinusoid of amplitude A reads A.
double ToneAmplitude(const std::vector<double>& x, double hz, int sampleRate, std::size_t start, std::size_t length);
double Rms(const std::vector<double>& x, std::size_t start, std::size_t length);
double Peak(const std::vector<double>& x, std::size_t start, std::size_t length);
/// The frequency from the first to the last rising zero crossing, each
/// placed between its two samples by linear interpolation; 0 with fewer than
/// two crossings.
double ZeroCrossingHz(const std::vector<double>& x, int sampleRate, std::size_t start, std::size_t length);
/// 20 log10 of a ratio of amplitudes.
inline double Db(double ratio)
{
    return 20.0 * std::log10(ratio);
}
/// The first index from start whose magnitude exceeds threshold; -1 if none.
long FirstAbove(const std::vector<double>& x, double threshold, std::size_t start = 0);
std::vector<double> Sine(double hz, int sampleRate, std::size_t length, double amplitude = 1.0);

} // namespace stock_test
