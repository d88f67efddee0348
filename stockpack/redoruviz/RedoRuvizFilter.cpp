#include "stockpack/redoruviz/RedoRuvizFilter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "framework/AudioBuffer.h"
#include "framework/ParameterLimit.h"
#include "framework/Port.h"
#include "framework/ScopedLock.h"
#include "stockpack/common/MachinePorts.h"
#include "stockpack/common/StockMachineInfo.h"
#include "stockpack/redoruviz/RedoRuvizGUI.h"
#include "stockpack/dsp/MinimumPhaseLowPass.h"

namespace {

constexpr std::size_t kTextSize = 24;

/// Every factor-th coefficient of a design, the ones that meet the input
/// when factor - 1 zeros follow each sample.
std::vector<double> EveryNth(const std::vector<double>& design, int factor)
{
    std::vector<double> taps;
    for (std::size_t i = 0; i < design.size(); i += static_cast<std::size_t>(factor))
        taps.push_back(design[i]);
    return taps;
}

double UnityDcGain(const std::vector<double>& taps)
{
    double sum = 0.0;
    for (double tap : taps)
        sum += tap;
    return sum == 0.0 ? 1.0 : 1.0 / std::fabs(sum);
}

} // namespace

int CRedoRuvizFilter::FilterIndex(double value)
{
    const float single = static_cast<float>(value);
    // Values outside 0 .. 1 (a damaged project) take the nearest filter.
    const float scaled = std::clamp(4.0f * single, 0.0f, static_cast<float>(kFactorCount - 1));
    return static_cast<int>(scaled);
}

CRedoRuvizFilter::CRedoRuvizFilter(CHost* host, CMachineInfo* descriptor)
    : CMachine(host), descriptor(descriptor), sampleRate(HostSampleRate(host)), blockSize(HostBlockSize(host)),
      images(CStockInfoBase::ImagesOf(descriptor))
{
    static_assert(kLineInPort == 0 && kLineOutPort == 1);
    CreatePorts(*this, {stock_ports::kStereoLineIn, stock_ports::kStereoLineOut});
    parameterCount = 1;

    for (int k = 0; k < kFactorCount; ++k) {
        const std::size_t slot = static_cast<std::size_t>(k);
        designs[slot] = DesignMinimumPhaseLowPass(Factor(k));
        std::vector<double> taps = EveryNth(designs[slot], Factor(k));
        const double gain = UnityDcGain(taps);
        filters[slot] = std::make_unique<CTapUnit>(std::move(taps), gain);
    }
}

CRedoRuvizFilter::~CRedoRuvizFilter()
{
    editor.Close();
    DeletePorts(*this);
}

double CRedoRuvizFilter::GetParameter(int index)
{
    return index == kOversamplingParameter ? oversampling : 0.0;
}

void CRedoRuvizFilter::SetParameter(int index, double value)
{
    if (index != kOversamplingParameter)
        return;
    value = LimitParameter(value, 0.0);
    CScopedLock<CMachine> hold(*this);
    oversampling = value;
}

void CRedoRuvizFilter::GetParameterName(int index, char* out)
{
    std::snprintf(out, kTextSize, "%s", index == kOversamplingParameter ? "Oversampling" : "");
}

void CRedoRuvizFilter::FormatParameter(int index, double value, char* out)
{
    if (index != kOversamplingParameter) {
        out[0] = '\0';
        return;
    }
    std::snprintf(out, kTextSize, "%ix", Factor(FilterIndex(value)));
}

void CRedoRuvizFilter::SetSampleRate(int rate)
{
    // The designs are relative to the sample rate: nothing to rebuild.
    if (rate > 0)
        sampleRate = rate;
}

void CRedoRuvizFilter::SetBlockSize(int length)
{
    if (length <= 0)
        return;
    blockSize = length;
    ResizePortBuffers(length);
}

void CRedoRuvizFilter::Work()
{
    CAudioBuffer* out = ports[kLineOutPort]->audio;
    const CAudioBuffer* in = ports[kLineInPort]->audio;
    const int frames = StereoLineFrames(out, in);
    if (frames == 0)
        return;
    CTapUnit& filter = *filters[static_cast<std::size_t>(FilterIndex(oversampling))];
    filter.Process(in->left, in->right, out->left, out->right, frames);
}

bool CRedoRuvizFilter::GetEditorRect(std::int16_t* top, std::int16_t* left, std::int16_t* bottom, std::int16_t* right)
{
    return SkinEditorRect(images, CRedoRuvizGUI::kBackground, top, left, bottom, right);
}

WindowHandle CRedoRuvizFilter::CreateEditor(WindowHandle parent)
{
    if (images == nullptr || !images->IsComplete())
        return nullptr;
    return editor.Open(parent, std::make_unique<CRedoRuvizGUI>(this, *images));
}

void CRedoRuvizFilter::CloseEditor()
{
    editor.Close();
}
