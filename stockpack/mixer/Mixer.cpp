#include "stockpack/mixer/Mixer.h"

#include <cmath>
#include <cstdio>
#include <memory>

#include "framework/AudioBuffer.h"
#include "framework/ParameterLimit.h"
#include "framework/Port.h"
#include "framework/ScopedLock.h"
#include "stockpack/common/MachinePorts.h"
#include "stockpack/common/ParameterValues.h"
#include "stockpack/common/SkinImages.h"
#include "stockpack/mixer/MixerGUI.h"

namespace {

/// Room for the longest name ("Track 8 Balance") or value text, with its zero.
constexpr std::size_t kTextSize = 24;
constexpr double kCreationValue = 0.5;

constexpr const char* kTrackPositionNames[CMixer::kTrackParameters] = {"Level", "Balance", "Low", "Mid",
                                                                        "High", "AUX1", "AUX2"};

constexpr std::int32_t kStereoInput = kPortAudio | kPortInput | kPortStereo;
constexpr std::int32_t kStereoOutput = kPortAudio | kPortOutput | kPortStereo;

/// 10^((60 Level - 48) / 10): Level 0.8 is unity, 0.5 is -18 dB. Level is
/// taken at single precision, as the saved projects were mixed with it.
double StripGain(double level)
{
    const float levelSingle = static_cast<float>(level);
    return std::pow(10.0, (60.0 * levelSingle - 48.0) / 10.0);
}

} // namespace

CMixer::CMixer(CHost* host, const CSkinImages* images)
    : CMachine(host), sampleRate(HostSampleRate(host)), blockSize(HostBlockSize(host)), images(images)
{
    CreatePortSlots(*this, kPortCount);
    CreatePort(*this, kOutputPort, {kStereoOutput, "OUTPUT"});
    char portName[kTextSize];
    for (int t = 0; t < kTracks; ++t) {
        std::snprintf(portName, sizeof portName, "TRK%iIN", t + 1);
        CreatePort(*this, TrackInputPort(t), {kStereoInput, portName});
    }
    for (int a = 0; a < kAuxLoops; ++a) {
        std::snprintf(portName, sizeof portName, "AUX%iOUT", a + 1);
        CreatePort(*this, SendPort(a), {kStereoOutput | kPortAuxiliary, portName});
        std::snprintf(portName, sizeof portName, "AUX%iIN", a + 1);
        CreatePort(*this, ReturnPort(a), {kStereoInput | kPortAuxiliary, portName});
    }
    parameterCount = kParameterCount;

    for (double& value : values)
        value = kCreationValue;
    // The band gains start at 1 and glide to the strips' values, as the
    // level does, so a new mixer fades in to its settings.
    for (int strip = 0; strip < kStrips; ++strip) {
        strips[strip].SetSampleRate(sampleRate);
        UpdateBandTargets(strip);
    }
}

CMixer::~CMixer()
{
    editor.Close();
    DeletePorts(*this);
}

void CMixer::Locate(int index, int& strip, int& position)
{
    if (index < kFirstReturnParameter) {
        strip = index / kTrackParameters;
        position = index % kTrackParameters;
    } else {
        strip = kTracks + (index - kFirstReturnParameter) / kReturnParameters;
        position = (index - kFirstReturnParameter) % kReturnParameters;
    }
}

double CMixer::GetParameter(int index)
{
    return StoredParameter(values, index);
}

void CMixer::SetParameter(int index, double value)
{
    if (!IsParameterIndex(index, kParameterCount))
        return;
    value = LimitParameter(value, 0.5);
    int strip = 0;
    int position = 0;
    Locate(index, strip, position);
    CScopedLock<CMachine> hold(*this);
    values[index] = value;
    if (position == kLow || position == kMid || position == kHigh)
        UpdateBandTargets(strip);
}

void CMixer::UpdateBandTargets(int strip) noexcept
{
    const double low = values[ParameterIndex(strip, kLow)];
    const double mid = values[ParameterIndex(strip, kMid)];
    const double high = values[ParameterIndex(strip, kHigh)];
    strips[strip].SetBandTargets(low, mid, high);
}

void CMixer::GetParameterName(int index, char* out)
{
    if (!IsParameterIndex(index, kParameterCount)) {
        out[0] = '\0';
        return;
    }
    int strip = 0;
    int position = 0;
    Locate(index, strip, position);
    if (strip < kTracks)
        std::snprintf(out, kTextSize, "Track %i %s", strip + 1, kTrackPositionNames[position]);
    else
        std::snprintf(out, kTextSize, "AUX %i %s", strip - kTracks + 1, kTrackPositionNames[position]);
}

void CMixer::FormatParameter(int index, double value, char* out)
{
    if (!IsParameterIndex(index, kParameterCount)) {
        out[0] = '\0';
        return;
    }
    std::snprintf(out, kTextSize, "%i%%", static_cast<int>(value * 100.0));
}

void CMixer::SetSampleRate(int rate)
{
    if (rate <= 0)
        return;
    CScopedLock<CMachine> hold(*this);
    sampleRate = rate;
    for (auto& strip : strips)
        strip.SetSampleRate(rate);
}

void CMixer::SetBlockSize(int length)
{
    if (length > 0)
        blockSize = length;
}

void CMixer::SetMute(int strip, bool on)
{
    if (strip < 0 || strip >= kStrips)
        return;
    CScopedLock<CMachine> hold(*this);
    muted[strip] = on;
}

void CMixer::SetSolo(int strip, bool on)
{
    if (strip < 0 || strip >= kStrips)
        return;
    CScopedLock<CMachine> hold(*this);
    if (on)
        soloStrip = strip;
    else if (soloStrip == strip)
        soloStrip = kNoSolo;
}

bool CMixer::IsAudible(int strip) const noexcept
{
    return !muted[strip] && (soloStrip == kNoSolo || soloStrip == strip);
}

void CMixer::StripTargets(int strip, double level[2]) const noexcept
{
    if (!IsAudible(strip)) {
        level[0] = 0.0;
        level[1] = 0.0;
        return;
    }
    const double gain = StripGain(values[ParameterIndex(strip, kLevel)]);
    const double balance = values[ParameterIndex(strip, kBalance)];
    level[0] = (1.0 - balance) * gain;
    level[1] = balance * gain;
}

void CMixer::Work()
{
    for (int p = 0; p < kPortCount; ++p) {
        const bool cleared = p == kOutputPort || p >= SendPort(0);
        if (cleared && ports[p]->audio != nullptr)
            ports[p]->audio->Clear();
    }
    CPort* output = ports[kOutputPort];
    if (!HasStereoSamples(output))
        return;
    const int frames = output->audio->length;
    double* outLeft = output->audio->left;
    double* outRight = output->audio->right;

    CMixerStrip::Buffers buffers{nullptr, nullptr, outLeft, outRight, {}, {}};
    for (int a = 0; a < kAuxLoops; ++a) {
        const CPort* send = ports[SendPort(a)];
        if (HasStereoSamples(send) && send->audio->length >= frames) {
            buffers.sendLeft[a] = send->audio->left;
            buffers.sendRight[a] = send->audio->right;
        }
    }

    for (int t = 0; t < kTracks; ++t) {
        const CPort* input = ports[TrackInputPort(t)];
        if (!HasStereoSamples(input) || input->audio->length < frames)
            continue;
        CMixerStrip::Targets targets;
        StripTargets(t, targets.level);
        if (IsAudible(t)) {
            for (int a = 0; a < kAuxLoops; ++a)
                targets.send[a] = values[ParameterIndex(t, kAux1 + a)];
        }
        buffers.inLeft = input->audio->left;
        buffers.inRight = input->audio->right;
        strips[t].Process(buffers, targets, frames, peaks[t]);
    }
    peaksFresh = true;
}

void CMixer::WorkReturns()
{
    CPort* output = ports[kOutputPort];
    if (!HasStereoSamples(output))
        return;
    const int frames = output->audio->length;
    for (int a = 0; a < kAuxLoops; ++a) {
        const int strip = kTracks + a;
        const CPort* input = ports[ReturnPort(a)];
        if (!HasStereoSamples(input) || input->audio->length < frames)
            continue;
        CMixerStrip::Targets targets;
        StripTargets(strip, targets.level);
        const CMixerStrip::Buffers buffers{input->audio->left, input->audio->right, output->audio->left,
                                           output->audio->right, {}, {}};
        strips[strip].Process(buffers, targets, frames, peaks[strip]);
    }
    peaksFresh = true;
}

void CMixer::Idle()
{
    // Display thread, machine locked: the last block's peaks go to the
    // meters' feeds, which the editor empties on its own refresh. A block
    // is handed over once, so meters fall when the engine stops rendering.
    if (!peaksFresh)
        return;
    peaksFresh = false;
    for (int strip = 0; strip < kStrips; ++strip)
        meterFeeds[strip].Feed(peaks[strip][0], peaks[strip][1]);
}

bool CMixer::GetEditorRect(std::int16_t* top, std::int16_t* left, std::int16_t* bottom, std::int16_t* right)
{
    return SkinEditorRect(images, CMixerGUI::kBackground, top, left, bottom, right);
}

WindowHandle CMixer::CreateEditor(WindowHandle parent)
{
    if (images == nullptr || !images->IsComplete())
        return nullptr;
    return editor.Open(parent, std::make_unique<CMixerGUI>(this, *images));
}

void CMixer::CloseEditor()
{
    editor.Close();
}
