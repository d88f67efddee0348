#pragma once
// RazuZuri's 73 parameters: their indexes, names, defaults and display
// texts, and how each value (normally 0 .. 1) maps to what the voices use.
// Pure functions and constant tables; any thread.

#include <cstddef>
#include <cstdint>

namespace razuzuri {

enum Parameter : int {
    kAmpAttack = 0,
    kAmpDecay,
    kAmpSustain,
    kAmpRelease,
    kAmpAttackCurve,
    kAmpDecayCurve,
    kAmpReleaseCurve,
    kFilterAttack = 7,   // the filter envelope's seven follow the same order
    kFilterReleaseCurve = 13,
    kVco1Shape = 14,
    kVco1PulseWidth,
    kVco1Semitone,
    kVco1EnvMod,
    kVco2Shape = 18,
    kVco2PulseWidth,
    kVco2Semitone,
    kVco2Detune,
    kVco2EnvMod,
    kSync = 23,
    kVcf1Mode = 24,
    kVcf1Cutoff,
    kVcf1Resonance,
    kVcf1KeyFollow,
    kVcf1EnvMod,
    kVcf2Mode = 29,      // filter 2's five follow the same order
    kFilterRouting = 34,
    kFormantMix,
    kFormantVowel,
    kOscBalance,
    kOscVolume,
    kNoise,
    kSaturation = 40,
    kOverdrive,
    kRingMod,
    kPortamento,
    kGlide,
    kSlideCurve = 45,
    kLfo1Rate = 46,      // each LFO: rate, shape, fade in, then send / amp x 3
};

inline constexpr int kParameterCount = 73;
inline constexpr int kEnvelopeParameters = 7;
inline constexpr int kFilterParameters = 5;
inline constexpr int kOscillatorParameterStride = 4;   // VCO2's first is VCO1's + 4
inline constexpr int kLfoCount = 3;
inline constexpr int kSendsPerLfo = 3;
inline constexpr int kLfoParameterStride = 9;

/// Offsets inside one LFO's nine parameters; the sends and their amounts
/// alternate from kLfoFirstSend.
inline constexpr int kLfoRate = 0;
inline constexpr int kLfoShape = 1;
inline constexpr int kLfoFadeIn = 2;
inline constexpr int kLfoFirstSend = 3;

enum class LfoDestination : std::int32_t {
    None,
    Vco1Amp,
    Vco2Amp,
    Vco1Pitch,
    Vco2Pitch,
    Vco1PulseWidth,
    Vco2PulseWidth,
    Vcf1Pitch,
    Vcf2Pitch,
    Vcf1Resonance,
    Vcf2Resonance,
};
inline constexpr int kLfoDestinationCount = 11;

enum class FilterRouting : std::int32_t { Serial, Parallel, Split };

enum class DisplayFormat : std::int32_t {
    Time,        // "%.2fs" of max(0.01, 8v^3)
    Percent,     // "%.0f%%" of 100v
    Decibel,     // "-oo dB", "0dB", "-%.2fdB" of 48(1 - v)
    Overdrive,   // "0dB", "+%.2fdB" of 48v
    Semitone,    // "%ist"
    Detune,      // "%.2fst" of v
    Hertz,       // "%.2fHz" of the LFO rate
    Fade,        // "%.2fs" of 8v^3
    List,        // an entry of a list
    OnOff,       // "Off" below 0.5, "On" from 0.5
};

struct ParameterInfo {
    const char* name;
    double defaultValue;
    DisplayFormat format;
    const char* const* list;   // for List
    int listCount;
};

/// Index 0 .. 72; null outside.
const ParameterInfo* GetParameterInfo(int index);

/// The display text of value for parameter index ("" outside 0 .. 72),
/// cut to size - 1 characters. Texts of values in 0 .. 1 are at most 16.
void FormatParameterValue(int index, double value, char* out, std::size_t size);

// --- What the values stand for ---

/// max(0.01, 8v^3) seconds.
double StageSeconds(double v);
/// (v - 0.5) * 16.
double CurveFromValue(double v);
/// (int)((v - 0.5) * 96), within -48 .. 48.
int SemitonesFromValue(double v);
/// 10^(-48(1 - v) / 10) for levels; exactly 0 at v <= 0 and 1 at v >= 1.
double LevelGain(double v);
/// 10^(48v / 10); 1 at v <= 0.
double OverdriveGain(double v);
/// 440 * 2^(13v - 17) Hz.
double LfoRateHz(double v);
/// 8v^3 seconds.
double FadeSeconds(double v);
/// 0.4 v^2 seconds.
double SlideSeconds(double v);
/// (int)(v * count) limited to 0 .. count - 1.
int ListIndex(double v, int count);
/// (int)(10v) limited to 0 .. 10.
LfoDestination DestinationFromValue(double v);
/// 12v octaves, computed in single precision.
double CutoffOctaves(double v);
/// 2(v - 0.5).
double KeyFollowFactor(double v);
bool SyncFromValue(double v);

} // namespace razuzuri
