#include "stockpack/dovodorez/Echo.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "framework/AudioBuffer.h"
#include "framework/ParameterLimit.h"
#include "framework/Port.h"
#include "framework/ScopedLock.h"
#include "stockpack/common/MachinePorts.h"
#include "stockpack/common/ParameterValues.h"
#include "stockpack/common/PlugContext.h"
#include "stockpack/common/WaveTables.h"

namespace {

/// Room for the longest name ("Filter Bandwidth 4") or value text.
constexpr std::size_t kTextSize = 24;

constexpr const char* kPositionNames[CEcho::kTapParameters] = {
    "Delay Time", "Feedback", "Filter Frequency", "Filter Bandwidth",
    "LFO Amount", "LFO Rate", "Wet Level", "Dry Level"};

/// The defaults of taps 1 to 4 at each position: the taps differ in delay,
/// filter frequency and wet level, so that a new echo sounds only its first
/// tap and the others are ready to be faded in.
constexpr double kDefaults[CEcho::kTapParameters][CEcho::kTaps] = {
    {0.1, 0.2, 0.3, 0.4}, {0.5, 0.5, 0.5, 0.5}, {0.0, 0.1, 0.2, 0.3}, {0.5, 0.5, 0.5, 0.5},
    {0.0, 0.0, 0.0, 0.0}, {0.5, 0.5, 0.5, 0.5}, {1.0, 0.0, 0.0, 0.0}, {0.0, 0.0, 0.0, 0.0}};

/// Never a value a parameter takes, so applying the defaults sets all.
constexpr double kUnset = -1.0;

constexpr double kFrequencyOctaves = 12.0;
constexpr double kBandwidthSpanHz = 10000.0;
constexpr double kLowestBandwidthHz = 10.0;
/// The wet gain is v / 16, the dry v / 4; the level display is 80 v - 64 dB.
constexpr double kWetScale = 1.0 / 16.0;
constexpr double kDryScale = 1.0 / 4.0;

void FormatLevel(double value, char* out)
{
    if (value == 0.0) {
        std::snprintf(out, kTextSize, "-oo dB");
        return;
    }
    // Through power and back, as the level readouts of the library do.
    const double power = std::pow(10.0, (80.0 * value - 64.0) / 10.0);
    std::snprintf(out, kTextSize, "%.2fdB", 10.0 * std::log10(power));
}

} // namespace

double CEcho::DelaySeconds(double value)
{
    return (std::exp2(value) - 1.0) * 0.99 + 0.01;
}

double CEcho::LfoRateHz(double value)
{
    return 440.0 * std::exp2(6.0 * value - 15.0);
}

CEcho::CEcho(CHost* host) : CMachine(host), sampleRate(HostSampleRate(host)), blockSize(HostBlockSize(host))
{
    static_assert(kLineInPort == 0 && kLineOutPort == 1);
    CreatePorts(*this, {stock_ports::kStereoLineIn, stock_ports::kStereoLineOut});
    parameterCount = kParameterCount;

    SharedWaveTables();   // fills the library's sine table
    const CountedTable sine = SineTable();
    for (Tap& tap : taps) {
        for (CEchoDelayLine& line : tap.lines)
            line.SetSampleRate(sampleRate);
        tap.lfo.SetTable(sine);
        tap.lfo.SetSampleRate(sampleRate);
    }
    SizeScratch(blockSize);

    for (double& value : values)
        value = kUnset;
    for (int i = 0; i < kParameterCount; ++i)
        SetParameter(i, kDefaults[i % kTapParameters][i / kTapParameters]);
}

CEcho::~CEcho()
{
    DeletePorts(*this);
}

double CEcho::GetParameter(int index)
{
    return StoredParameter(values, index);
}

void CEcho::SetParameter(int index, double value)
{
    if (!IsParameterIndex(index, kParameterCount))
        return;
    value = LimitParameter(value, kDefaults[index % kTapParameters][index / kTapParameters]);
    CScopedLock<CMachine> hold(*this);
    // An unchanged value leaves everything as it is, the filter's running
    // coefficients included.
    if (values[index] != value) {
        values[index] = value;
        Apply(index / kTapParameters, index % kTapParameters, value);
    }
}

void CEcho::Apply(int tapIndex, int position, double value)
{
    Tap& tap = taps[static_cast<std::size_t>(tapIndex)];
    switch (position) {
    case kDelayTime:
        for (CEchoDelayLine& line : tap.lines)
            line.SetDelay(DelaySeconds(value));
        break;
    case kFeedback:
        for (CEchoDelayLine& line : tap.lines)
            line.SetFeedback(value);
        break;
    case kFilterFrequency:
        for (CEchoDelayLine& line : tap.lines)
            line.SetFrequency(kFrequencyOctaves * value);
        break;
    case kFilterBandwidth:
        for (CEchoDelayLine& line : tap.lines)
            line.SetBandwidth(kBandwidthSpanHz * value + kLowestBandwidthHz);
        break;
    case kLfoAmount:
        tap.lfoAmount = value;
        break;
    case kLfoRate:
        tap.lfo.SetFrequency(LfoRateHz(value));
        break;
    case kWetLevel:
        tap.wetGain = value * kWetScale;
        break;
    case kDryLevel:
        tap.dryGain = value * kDryScale;
        break;
    default:
        break;
    }
}

void CEcho::GetParameterName(int index, char* out)
{
    if (!IsParameterIndex(index, kParameterCount)) {
        out[0] = '\0';
        return;
    }
    std::snprintf(out, kTextSize, "%s %i", kPositionNames[index % kTapParameters], index / kTapParameters + 1);
}

void CEcho::FormatParameter(int index, double value, char* out)
{
    if (!IsParameterIndex(index, kParameterCount)) {
        out[0] = '\0';
        return;
    }
    switch (index % kTapParameters) {
    case kDelayTime:
        std::snprintf(out, kTextSize, "%ims", static_cast<int>(1000.0 * DelaySeconds(value)));
        break;
    case kWetLevel:
    case kDryLevel:
        FormatLevel(value, out);
        break;
    default:
        std::snprintf(out, kTextSize, "%i%%", static_cast<int>(100.0 * value));
        break;
    }
}

void CEcho::SetSampleRate(int rate)
{
    if (rate <= 0)
        return;
    CScopedLock<CMachine> hold(*this);
    if (rate != sampleRate) {
        sampleRate = rate;
        for (Tap& tap : taps) {
            for (CEchoDelayLine& line : tap.lines)
                line.SetSampleRate(rate);
            tap.lfo.SetSampleRate(rate);
        }
    }
}

void CEcho::SetBlockSize(int length)
{
    if (length <= 0)
        return;
    CScopedLock<CMachine> hold(*this);
    blockSize = length;
    SizeScratch(length);
}

void CEcho::SizeScratch(int length)
{
    modulation.assign(static_cast<std::size_t>(length), 0.0);
    for (std::vector<double>& channel : wet)
        channel.assign(static_cast<std::size_t>(length), 0.0);
}

void CEcho::RenderTap(Tap& tap, const double* inLeft, const double* inRight, double* outLeft, double* outRight,
                      int frames) noexcept
{
    double* m = modulation.data();
    double* wetLeft = wet[0].data();
    double* wetRight = wet[1].data();
    tap.lfo.Render(m, frames);
    for (int i = 0; i < frames; ++i)
        m[i] = m[i] * tap.lfoAmount + 1.0;

    // Both lines of a tap have the same settings and follow the same LFO:
    // one filter design per sample serves the two.
    CEchoDelayLine::ProcessPair(tap.lines[0], tap.lines[1], inLeft, inRight, wetLeft, wetRight, m, frames);
    for (int i = 0; i < frames; ++i)
        outLeft[i] += inLeft[i] * tap.dryGain + wetLeft[i] * tap.wetGain;
    for (int i = 0; i < frames; ++i)
        outRight[i] += inRight[i] * tap.dryGain + wetRight[i] * tap.wetGain;
}

void CEcho::Work()
{
    CAudioBuffer* out = ports[kLineOutPort]->audio;
    const CAudioBuffer* in = ports[kLineInPort]->audio;
    if (!HasStereoSamples(out))
        return;
    out->Clear();
    if (!HasStereoSamples(in) || modulation.empty())
        return;
    const int frames = std::min<int>(out->length, in->length);
    // A block longer than the scratch buffers (a host that resized the
    // ports without telling) is rendered in pieces rather than refused.
    const int chunk = static_cast<int>(modulation.size());
    for (int start = 0; start < frames; start += chunk) {
        const int count = std::min(chunk, frames - start);
        for (Tap& tap : taps)
            RenderTap(tap, in->left + start, in->right + start, out->left + start, out->right + start, count);
    }
}
