#include "stockpack/razuzuri/RazuZuriParameters.h"

#include <cmath>
#include <cstdio>

#include "stockpack/razuzuri/FormantVowels.h"

namespace razuzuri {

namespace {

constexpr const char* kShapes[] = {"Saw", "Square", "TriSquare"};
constexpr const char* kFilterModes[] = {"Low Pass", "High Pass"};
constexpr const char* kRoutings[] = {"Serial", "Parallel", "Split"};
constexpr const char* kSaturations[] = {"None", "Soft Clip", "Digital", "Distort"};
constexpr const char* kLfoShapes[] = {"Sine", "Triangle", "Saw", "Pulse", "S&H", "S&G"};
constexpr const char* kDestinations[] = {"None",           "VCO1 Amp",         "VCO2 Amp",   "VCO1 Pitch",
                                         "VCO2 Pitch",     "VCO1 Pulse Width", "VCO2 Pulse Width",
                                         "VCF1 Pitch",     "VCF2 Pitch",       "VCF1 Resonance",
                                         "VCF2 Resonance"};
static_assert(sizeof(kDestinations) / sizeof(kDestinations[0]) == kLfoDestinationCount);

constexpr int kShapeCount = 3;
constexpr int kFilterModeCount = 2;
constexpr int kRoutingCount = 3;
constexpr int kSaturationCount = 4;
constexpr int kLfoShapeCount = 6;

using F = DisplayFormat;

constexpr ParameterInfo Plain(const char* name, double value, DisplayFormat format)
{
    return {name, value, format, nullptr, 0};
}

constexpr ParameterInfo Listed(const char* name, double value, const char* const* list, int count)
{
    return {name, value, F::List, list, count};
}

const ParameterInfo kParameters[kParameterCount] = {
    Plain("Amp Attack", 0.2, F::Time),
    Plain("Amp Decay", 0.5, F::Time),
    Plain("Amp Sustain", 0.5, F::Percent),
    Plain("Amp Release", 0.5, F::Time),
    Plain("Amp Attack Curve", 0.5, F::Percent),
    Plain("Amp Decay Curve", 0.5, F::Percent),
    Plain("Amp Release Curve", 0.5, F::Percent),
    Plain("Filter Attack", 0.2, F::Time),
    Plain("Filter Decay", 0.5, F::Time),
    Plain("Filter Sustain", 1.0, F::Percent),
    Plain("Filter Release", 0.5, F::Time),
    Plain("Filter Attack Curve", 0.5, F::Percent),
    Plain("Filter Decay Curve", 0.5, F::Percent),
    Plain("Filter Release Curve", 0.5, F::Percent),
    Listed("VCO1 Shape", 0.4, kShapes, kShapeCount),
    Plain("VCO1 Pulse Width", 0.5, F::Percent),
    Plain("VCO1 Semitone", 0.5, F::Semitone),
    Plain("VCO1 EnvMod", 0.0, F::Percent),
    Listed("VCO2 Shape", 0.4, kShapes, kShapeCount),
    Plain("VCO2 Pulse Width", 0.5, F::Percent),
    Plain("VCO2 Semitone", 0.5, F::Semitone),
    Plain("VCO2 Detune", 0.1, F::Detune),
    Plain("VCO2 EnvMod", 0.0, F::Percent),
    Plain("Sync", 0.0, F::OnOff),
    Listed("VCF1 Mode", 0.0, kFilterModes, kFilterModeCount),
    Plain("VCF1 Cutoff", 0.15, F::Percent),
    Plain("VCF1 Resonance", 0.5, F::Percent),
    Plain("VCF1 Key Follow", 1.0, F::Percent),
    Plain("VCF1 Env Mod", 0.5, F::Percent),
    Listed("VCF2 Mode", 0.0, kFilterModes, kFilterModeCount),
    Plain("VCF2 Cutoff", 0.1, F::Percent),
    Plain("VCF2 Resonance", 0.2, F::Percent),
    Plain("VCF2 Key Follow", 1.0, F::Percent),
    Plain("VCF2 Env Mod", 0.5, F::Percent),
    Listed("Filter Routing", 0.0, kRoutings, kRoutingCount),
    Plain("Formant Mix", 0.0, F::Percent),
    Listed("Formant Vowel", 0.0, nullptr, kFormantVowelCount),
    Plain("Osc Balance", 0.5, F::Percent),
    Plain("Osc Volume", 1.0, F::Decibel),
    Plain("Noise", 0.0, F::Decibel),
    Listed("Saturation", 0.0, kSaturations, kSaturationCount),
    Plain("Overdrive", 0.0, F::Overdrive),
    Plain("Ring Mod", 0.0, F::Decibel),
    Plain("Portamento", 0.0, F::Percent),
    Plain("Glide", 0.0, F::Percent),
    Plain("Slide Curve", 0.5, F::Percent),
    Plain("LFO1 Rate", 0.5, F::Hertz),
    Listed("LFO1 Shape", 0.0, kLfoShapes, kLfoShapeCount),
    Plain("LFO1 Fade In", 0.0, F::Fade),
    Listed("LFO1 Send 1", 0.0, kDestinations, kLfoDestinationCount),
    Plain("LFO1 Amp 1", 1.0, F::Percent),
    Listed("LFO1 Send 2", 0.0, kDestinations, kLfoDestinationCount),
    Plain("LFO1 Amp 2", 1.0, F::Percent),
    Listed("LFO1 Send 3", 0.0, kDestinations, kLfoDestinationCount),
    Plain("LFO1 Amp 3", 1.0, F::Percent),
    Plain("LFO2 Rate", 0.5, F::Hertz),
    Listed("LFO2 Shape", 0.0, kLfoShapes, kLfoShapeCount),
    Plain("LFO2 Fade In", 0.0, F::Fade),
    Listed("LFO2 Send 1", 0.0, kDestinations, kLfoDestinationCount),
    Plain("LFO2 Amp 1", 1.0, F::Percent),
    Listed("LFO2 Send 2", 0.0, kDestinations, kLfoDestinationCount),
    Plain("LFO2 Amp 2", 1.0, F::Percent),
    Listed("LFO2 Send 3", 0.0, kDestinations, kLfoDestinationCount),
    Plain("LFO2 Amp 3", 1.0, F::Percent),
    Plain("LFO3 Rate", 0.5, F::Hertz),
    Listed("LFO3 Shape", 0.0, kLfoShapes, kLfoShapeCount),
    Plain("LFO3 Fade In", 0.0, F::Fade),
    Listed("LFO3 Send 1", 0.0, kDestinations, kLfoDestinationCount),
    Plain("LFO3 Amp 1", 1.0, F::Percent),
    Listed("LFO3 Send 2", 0.0, kDestinations, kLfoDestinationCount),
    Plain("LFO3 Amp 2", 1.0, F::Percent),
    Listed("LFO3 Send 3", 0.0, kDestinations, kLfoDestinationCount),
    Plain("LFO3 Amp 3", 1.0, F::Percent),
};

/// A value's integer part, limited to lo .. hi before the conversion so
/// that values far outside 0 .. 1 (or NaN, read as lo) never overflow it.
int TruncateWithin(double x, int lo, int hi)
{
    if (!(x >= lo))
        return lo;
    if (x >= hi)
        return hi;
    return static_cast<int>(x);
}

} // namespace

const ParameterInfo* GetParameterInfo(int index)
{
    if (index < 0 || index >= kParameterCount)
        return nullptr;
    return &kParameters[index];
}

double StageSeconds(double v)
{
    const double seconds = 8.0 * v * v * v;
    return seconds > 0.01 ? seconds : 0.01;
}

double CurveFromValue(double v)
{
    return (v - 0.5) * 16.0;
}

int SemitonesFromValue(double v)
{
    return TruncateWithin((v - 0.5) * 96.0, -48, 48);
}

double LevelGain(double v)
{
    if (!(v > 0.0))
        return 0.0;
    if (v >= 1.0)
        return 1.0;
    return std::pow(10.0, -48.0 * (1.0 - v) / 10.0);
}

double OverdriveGain(double v)
{
    if (!(v > 0.0))
        return 1.0;
    return std::pow(10.0, 48.0 * v / 10.0);
}

double LfoRateHz(double v)
{
    return 440.0 * std::exp2(13.0 * v - 17.0);
}

double FadeSeconds(double v)
{
    return 8.0 * v * v * v;
}

double SlideSeconds(double v)
{
    return 0.4 * v * v;
}

int ListIndex(double v, int count)
{
    return TruncateWithin(v * count, 0, count - 1);
}

LfoDestination DestinationFromValue(double v)
{
    return static_cast<LfoDestination>(TruncateWithin(10.0 * v, 0, kLfoDestinationCount - 1));
}

double CutoffOctaves(double v)
{
    return static_cast<double>(12.0f * static_cast<float>(v));
}

double KeyFollowFactor(double v)
{
    return 2.0 * (v - 0.5);
}

bool SyncFromValue(double v)
{
    return v >= 0.5;
}

void FormatParameterValue(int index, double v, char* out, std::size_t size)
{
    if (out == nullptr || size == 0)
        return;
    const ParameterInfo* info = GetParameterInfo(index);
    if (info == nullptr) {
        out[0] = '\0';
        return;
    }
    // A send's text names the destination the send really uses, which is
    // (int)(10v), not an even split of 0 .. 1 into the eleven entries.
    if (info->list == kDestinations) {
        std::snprintf(out, size, "%s", kDestinations[static_cast<int>(DestinationFromValue(v))]);
        return;
    }
    switch (info->format) {
    case F::Time:
        std::snprintf(out, size, "%.2fs", StageSeconds(v));
        break;
    case F::Percent:
        std::snprintf(out, size, "%.0f%%", 100.0 * v);
        break;
    case F::Decibel:
        if (v == 0.0)
            std::snprintf(out, size, "-oo dB");
        else if (v >= 1.0)
            std::snprintf(out, size, "0dB");
        else
            std::snprintf(out, size, "-%.2fdB", 48.0 * (1.0 - v));
        break;
    case F::Overdrive:
        if (v == 0.0)
            std::snprintf(out, size, "0dB");
        else
            std::snprintf(out, size, "+%.2fdB", 48.0 * v);
        break;
    case F::Semitone:
        std::snprintf(out, size, "%ist", SemitonesFromValue(v));
        break;
    case F::Detune:
        std::snprintf(out, size, "%.2fst", v);
        break;
    case F::Hertz:
        std::snprintf(out, size, "%.2fHz", LfoRateHz(v));
        break;
    case F::Fade:
        std::snprintf(out, size, "%.2fs", FadeSeconds(v));
        break;
    case F::List: {
        const int entry = ListIndex(v, info->listCount);
        // The vowel names live with their frequencies.
        const char* text = info->list != nullptr ? info->list[entry] : GetFormantVowel(entry).name;
        std::snprintf(out, size, "%s", text);
        break;
    }
    case F::OnOff:
        std::snprintf(out, size, "%s", SyncFromValue(v) ? "On" : "Off");
        break;
    }
}

} // namespace razuzuri
