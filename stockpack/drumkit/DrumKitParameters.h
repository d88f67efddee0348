#pragma once
// The 38 parameters of the VUziD8 drum kit: names, defaults, the sound each
// one is sent to, and where each sound's level and balance sit. Every value
// is a share 0..1, shown as "%.0f%%" of 100v.

namespace drumkit {

constexpr int kParameterCount = 38;
constexpr int kSoundCount = 11;
/// The machine itself uses the level and balance parameters.
constexpr int kNoOwner = -1;

enum Sound : int {
    kBassDrum = 0,
    kSnareDrum = 1,
    kLowTom = 2,
    kMidTom = 3,
    kHighTom = 4,
    kRimShot = 5,
    kClap = 6,
    kClosedHiHat = 7,
    kOpenHiHat = 8,
    kCrashCymbal = 9,
    kRideCymbal = 10,
};

enum Parameter : int {
    kBdTune = 0,
    kBdAttack = 3,
    kBdDecay = 4,
    kSdTune = 5,
    kSdTone = 8,
    kSdSnappy = 9,
    kLtTune = 10,   // the toms: tune, level, balance, decay, four apart
    kLtDecay = 13,
    kTomStride = 4,
    kChDecay = 28,
    kOhDecay = 31,
    kCcDecay = 34,
    kRcDecay = 37,
};

struct ParameterInfo {
    const char* name;
    double defaultValue;
    int owner;   // the sound that receives the value, or kNoOwner
};

/// Null outside 0 .. kParameterCount - 1.
const ParameterInfo* GetParameterInfo(int index);
/// The name a sound's trigger reports; null outside 0 .. kSoundCount - 1.
const char* SoundName(int sound);
/// The Level parameter of a sound; its Balance follows it.
int LevelParameter(int sound);

} // namespace drumkit
