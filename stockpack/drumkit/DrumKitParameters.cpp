#include "stockpack/drumkit/DrumKitParameters.h"

namespace drumkit {

namespace {

constexpr ParameterInfo kParameters[kParameterCount] = {
    {"BD Tune", 1.0, kBassDrum},    {"BD Level", 1.0, kNoOwner},     {"BD Balance", 0.5, kNoOwner},
    {"BD Attack", 0.5, kBassDrum},  {"BD Decay", 1.0, kBassDrum},    {"SD Tune", 0.5, kSnareDrum},
    {"SD Level", 1.0, kNoOwner},    {"SD Balance", 0.5, kNoOwner},   {"SD Tone", 0.4, kSnareDrum},
    {"SD Snappy", 0.8, kSnareDrum}, {"LT Tune", 1.0, kLowTom},       {"LT Level", 1.0, kNoOwner},
    {"LT Balance", 0.5, kNoOwner},  {"LT Decay", 0.5, kLowTom},      {"MT Tune", 1.0, kMidTom},
    {"MT Level", 1.0, kNoOwner},    {"MT Balance", 0.5, kNoOwner},   {"MT Decay", 0.5, kMidTom},
    {"HT Tune", 1.0, kHighTom},     {"HT Level", 1.0, kNoOwner},     {"HT Balance", 0.5, kNoOwner},
    {"HT Decay", 0.5, kHighTom},    {"RS Level", 1.0, kNoOwner},     {"RS Balance", 0.5, kNoOwner},
    {"CP Level", 1.0, kNoOwner},    {"CP Balance", 0.5, kNoOwner},   {"CH Level", 1.0, kNoOwner},
    {"CH Balance", 0.5, kNoOwner},  {"CH Decay", 0.3, kClosedHiHat}, {"OH Level", 1.0, kNoOwner},
    {"OH Balance", 0.5, kNoOwner},  {"OH Decay", 0.3, kOpenHiHat},   {"CC Level", 1.0, kNoOwner},
    {"CC Balance", 0.5, kNoOwner},  {"CC Decay", 0.5, kCrashCymbal}, {"RC Level", 1.0, kNoOwner},
    {"RC Balance", 0.5, kNoOwner},  {"RC Decay", 0.5, kRideCymbal},
};

constexpr const char* kSoundNames[kSoundCount] = {
    "Bass Drum", "Snare Drum", "Low Tom", "Mid Tom", "High Tom", "Rim Shot",
    "Clap", "Closed Hi Hat", "Open Hi Hat", "Crash Cymbal", "Ride Cymbal",
};

constexpr int kLevelParameters[kSoundCount] = {1, 6, 11, 15, 19, 22, 24, 26, 29, 32, 35};

} // namespace

const ParameterInfo* GetParameterInfo(int index)
{
    return index >= 0 && index < kParameterCount ? &kParameters[index] : nullptr;
}

const char* SoundName(int sound)
{
    return sound >= 0 && sound < kSoundCount ? kSoundNames[sound] : nullptr;
}

int LevelParameter(int sound)
{
    return sound >= 0 && sound < kSoundCount ? kLevelParameters[sound] : -1;
}

} // namespace drumkit
