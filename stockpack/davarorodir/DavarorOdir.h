#pragma once
// CDavarorOdir ("KV DavarorOdir"): a stereo room reverb. A rectangular
// two-dimensional room holds two sources (the input channels) and two
// listening points (the output channels); early reflections come from each
// source's image-source tree as sparse 75 ms impulses, the late tail from a
// four-line feedback delay network, and the sum is scaled by 0.333.
//
// Threads: Work runs on the machine's worker with the machine locked; it
// applies the parameter changes flagged since the last block first, into
// storage sized at construction and in SetSampleRate, so it never
// allocates. SetParameter and EndParameterUpdate take the machine's lock;
// SetSampleRate allocates under it.

#include <vector>

#include "framework/Machine.h"
#include "stockpack/common/EditorSlot.h"
#include "stockpack/dsp/ImageSourceTree.h"
#include "stockpack/dsp/DelayNetwork.h"
#include "stockpack/dsp/SparseTapUnit.h"

class CParameterPanel;
class CSkinImages;

class CDavarorOdir : public CMachine {
public:
    static constexpr int kParameterCount = 14;
    static constexpr int kLineInPort = 0;
    static constexpr int kLineOutPort = 1;
    static constexpr int kPreDelaySamples = 601;
    static constexpr double kOutputScale = 0.333;

    enum Parameter {
        kSrcLeftX = 0, kSrcLeftY, kSrcRightX, kSrcRightY,
        kDstLeftX, kDstLeftY, kDstRightX, kDstRightY,
        kRoomWidth, kRoomHeight, kWallAbsorb, kFeedback, kCutoff, kGain
    };

    /// 20 v + 10 metres.
    static double RoomMetres(double value) { return 20.0 * value + 10.0; }
    static double Reflection(double value) { return 0.6 - 0.599 * value; }
    static double FeedbackAmount(double value);
    static double CutoffHz(double value, int sampleRate);
    static double GainDb(double value) { return 60.0 * value - 40.0; }

    /// images: the type's skin pictures, or null for no editor.
    explicit CDavarorOdir(CHost* host, const CSkinImages* images = nullptr);
    ~CDavarorOdir() override;

    void Work() override;
    double GetParameter(int index) override;
    void SetParameter(int index, double value) override;
    void GetParameterName(int index, char* out) override;
    void FormatParameter(int index, double value, char* out) override;
    void SetSampleRate(int rate) override;
    void SetBlockSize(int length) override;
    void EndParameterUpdate() override;
    bool IsInstrument() override { return false; }
    bool GetEditorRect(std::int16_t* top, std::int16_t* left, std::int16_t* bottom, std::int16_t* right) override;
    WindowHandle CreateEditor(WindowHandle parent) override;
    void CloseEditor() override;
    /// The open editor's panel, or null.
    CParameterPanel* Editor() const { return editor.Panel(); }

    /// For tests and views.
    int ImpulseLength() const { return impulseLength; }
    const std::vector<double>& ImpulseView() const { return impulseView; }
    const CSparseTapUnit& Unit(int source) const { return units[source]; }
    const CDelayNetwork& Tail() const { return tail; }
    const CImageSourceTree& Tree(int source) const { return trees[source]; }

private:
    void Rebuild();                        // everything for the sample rate
    void ApplyChanges() noexcept;          // audio thread, under the lock
    void BuildTrees() noexcept;
    void ComputeImpulses(int fadeSamples) noexcept;
    void ApplyTail() noexcept;
    void Point(int xIndex, double width, double height, double& x, double& y) const noexcept;

    double values[kParameterCount];
    CImageSourceTree trees[2];
    CSparseTapUnit units[2];
    CDelayNetwork tail;
    std::vector<double> impulses[4];       // scratch: left src to L, R; right src to L, R
    std::vector<double> impulseView;
    int impulseLength = 0;
    int sampleRate;
    int blockSize;
    bool viewChanged = false;
    bool roomChanged = false;
    bool pointsChanged = false;
    bool tailChanged = false;
    const CSkinImages* images;
    CEditorSlot editor;
};
