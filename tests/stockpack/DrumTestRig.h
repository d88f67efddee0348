#pragma once
// Helpers for the drum machines' tests: any stock machine with its own test
// host, fed events on "Control In" and rendered block by block into a
// capture, and the spectral centroid the drum sounds are judged by.

#include <memory>
#include <vector>

#include "framework/ControlEvent.h"
#include "framework/Machine.h"
#include "tests/stockpack/StockTestSupport.h"

namespace stock_test {

class CDrumRig {
public:
    /// Builds the machine with make(host) for the given block size and rate.
    template <typename Make>
    CDrumRig(Make make, int blockSize = 256, int sampleRate = 44100)
    {
        host.blockSize = blockSize;
        host.sampleRate = sampleRate;
        machine.reset(make(&host));
    }

    CMachine& Machine() { return *machine; }
    void Set(int index, double value) { machine->SetParameter(index, value); }
    void Queue(const ControlEvent& event);
    void NoteOn(int note, int time = 0);
    void NoteOff(int note, int time = 0);
    void TriggerOn(int trigger, int time = 0);

    /// Renders blocks and appends them to left (and right, for stereo).
    void Render(int blocks);
    /// Renders until at least samples more are collected.
    void RenderSamples(int samples);
    void ClearCapture();

    CStockTestHost host;
    std::vector<double> left;
    std::vector<double> right;

private:
    std::unique_ptr<CMachine> machine;
};

/// The power-weighted mean frequency of x[start, start + length) (a
/// power-of-two length), through a Hann window.
double SpectralCentroidHz(const std::vector<double>& x, int sampleRate, std::size_t start, std::size_t length);

} // namespace stock_test
