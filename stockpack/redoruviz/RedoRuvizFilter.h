#pragma once
// CRedoRuvizFilter ("KV RedoRuviz"): a stereo low-pass made from the
// minimum-phase anti-aliasing filter of an oversampling factor M (2 to 32,
// chosen by "Oversampling"). The design runs at M times the sample rate on
// the input with M - 1 zeros stuffed after every sample, taking one output
// per input: only every M-th coefficient ever meets a non-zero sample, so
// each channel runs the 17 coefficients h[0], h[M], ... h[16 M], scaled to
// unity gain at DC. That is what the tap units hold; the full designs are
// kept for the editor's response plot.
//
// Each design stops what lies above the base rate's Nyquist frequency at
// the oversampled rate (50 dB and more from 0.75 fs up), which is where its
// response plot shows a stop band. Taken one coefficient in M at the base
// rate, it colours the band by no more than about 2 dB up to 20 kHz: the
// machine is a gentle, nearly flat filter, and projects are mixed with it
// so.
//
// All five filters are built at creation; each keeps its own history, so
// switching back to a factor resumes with what that filter last heard.
//
// Threads: Work runs on the machine's worker with the machine locked;
// SetParameter is a single store under the same lock.

#include <array>
#include <memory>
#include <vector>

#include "framework/Machine.h"
#include "stockpack/common/EditorSlot.h"
#include "stockpack/dsp/TapUnit.h"

class CMachineInfo;
class CParameterPanel;
class CSkinImages;

class CRedoRuvizFilter : public CMachine {
public:
    static constexpr int kFactorCount = 5;
    static constexpr int kLineInPort = 0;
    static constexpr int kLineOutPort = 1;
    static constexpr int kOversamplingParameter = 0;

    /// The filter index for a parameter value: the integer part of 4 v (v
    /// at single precision), within 0 .. 4.
    static int FilterIndex(double value);
    /// 2, 4, 8, 16 or 32.
    static int Factor(int filterIndex) { return 2 << filterIndex; }

    CRedoRuvizFilter(CHost* host, CMachineInfo* descriptor);
    ~CRedoRuvizFilter() override;

    void Work() override;
    double GetParameter(int index) override;
    void SetParameter(int index, double value) override;
    void GetParameterName(int index, char* out) override;
    void FormatParameter(int index, double value, char* out) override;
    void SetSampleRate(int rate) override;
    void SetBlockSize(int length) override;
    bool IsInstrument() override { return false; }
    bool GetEditorRect(std::int16_t* top, std::int16_t* left, std::int16_t* bottom, std::int16_t* right) override;
    WindowHandle CreateEditor(WindowHandle parent) override;
    void CloseEditor() override;
    /// The open editor's panel, or null.
    CParameterPanel* Editor() const { return editor.Panel(); }

    /// The full minimum-phase design of a filter (16 M + 1 values).
    const std::vector<double>& Design(int filterIndex) const { return designs[filterIndex]; }
    const CTapUnit& Filter(int filterIndex) const { return *filters[filterIndex]; }
    CMachineInfo* Descriptor() const { return descriptor; }

private:
    CMachineInfo* descriptor;
    double oversampling = 0.0;
    std::array<std::vector<double>, kFactorCount> designs;
    std::array<std::unique_ptr<CTapUnit>, kFactorCount> filters;
    int sampleRate;
    int blockSize;
    const CSkinImages* images;
    CEditorSlot editor;
};
