#include "stockpack/drumkit/DrumKit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "framework/AudioBuffer.h"
#include "framework/ControlBuffer.h"
#include "framework/ParameterLimit.h"
#include "framework/Port.h"
#include "framework/ScopedLock.h"
#include "platform/Random.h"
#include "stockpack/drumkit/DrumKitBassDrum.h"
#include "stockpack/drumkit/DrumKitCymbal.h"
#include "stockpack/drumkit/DrumKitHiHat.h"
#include "stockpack/drumkit/DrumKitNoiseBurst.h"
#include "stockpack/drumkit/DrumKitSnareDrum.h"
#include "stockpack/drumkit/DrumKitTomDrum.h"
#include "stockpack/common/MachinePorts.h"
#include "stockpack/common/ParameterValues.h"
#include "stockpack/common/StockMachineInfo.h"
#include "stockpack/drumkit/DrumKitGUI.h"

using namespace drumkit;

namespace {

/// The most a name or display text takes, with its zero.
constexpr std::size_t kTextSize = 24;

} // namespace

double CDrumKit::LevelGain(double level)
{
    if (!(level > 0.0))
        return 0.0;
    return std::pow(10.0, -32.0 * (1.0 - level) / 10.0);
}

CDrumKit::CDrumKit(CHost* host, CMachineInfo* descriptor)
    : CMachine(host), sampleRate(HostSampleRate(host)), blockSize(HostBlockSize(host)),
      images(CStockInfoBase::ImagesOf(descriptor))
{
    static_assert(kControlInPort == 0 && kLineOutPort == 1);
    CreatePorts(*this, {stock_ports::kControlIn, stock_ports::kStereoLineOut});
    parameterCount = kParameterCount;
    triggerCount = kSoundCount;

    // The noise of every sound comes from the program's generator;
    // CORVANE_SEED makes a render repeat exactly.
    platform::SeedRandom(platform::DefaultRandomSeed());

    const int rate = sampleRate;
    const int block = blockSize;
    voices.reserve(kSoundCount);
    voices.push_back(std::make_unique<CBassDrum>(rate, block));
    voices.push_back(std::make_unique<CSnareDrum>(rate, block));
    for (int tom = 0; tom < 3; ++tom)
        voices.push_back(std::make_unique<CTomDrum>(tom, rate, block));
    voices.push_back(std::make_unique<CRimShot>(rate, block));
    voices.push_back(std::make_unique<CClap>(rate, block));
    voices.push_back(std::make_unique<CHiHatClosed>(rate, block));
    voices.push_back(std::make_unique<CHiHatOpen>(rate, block));
    voices.push_back(std::make_unique<CCrashCymbal>(rate, block));
    voices.push_back(std::make_unique<CRideCymbal>(rate, block));
    noise.assign(static_cast<std::size_t>(blockSize), 0.0);

    for (int i = 0; i < kParameterCount; ++i)
        SetParameter(i, GetParameterInfo(i)->defaultValue);
}

CDrumKit::~CDrumKit()
{
    editor.Close();
    DeletePorts(*this);
}

double CDrumKit::GetParameter(int index)
{
    return StoredParameter(values, index);
}

void CDrumKit::SetParameter(int index, double value)
{
    const ParameterInfo* info = GetParameterInfo(index);
    if (info == nullptr)
        return;
    value = LimitParameter(value, info->defaultValue);
    CScopedLock<CMachine> hold(*this);
    values[index] = value;
    if (info->owner != kNoOwner)
        QueueParameterChange(*voices[static_cast<std::size_t>(info->owner)], index, value);
}

void CDrumKit::GetParameterName(int index, char* out)
{
    const ParameterInfo* info = GetParameterInfo(index);
    std::snprintf(out, kTextSize, "%s", info != nullptr ? info->name : "");
}

void CDrumKit::FormatParameter(int index, double value, char* out)
{
    if (GetParameterInfo(index) == nullptr) {
        out[0] = '\0';
        return;
    }
    std::snprintf(out, kTextSize, "%.0f%%", 100.0 * value);
}

void CDrumKit::GetNoteName(int note, char* out)
{
    const char* name = SoundName(note);
    std::snprintf(out, kTextSize, "%s", name != nullptr ? name : "");
}

void CDrumKit::SetSampleRate(int rate)
{
    if (rate <= 0)
        return;
    sampleRate = rate;
    for (auto& voice : voices)
        voice->SetSampleRate(rate);
}

void CDrumKit::SetBlockSize(int length)
{
    if (length <= 0)
        return;
    blockSize = length;
    noise.assign(static_cast<std::size_t>(length), 0.0);
    for (auto& voice : voices)
        voice->SetBlockSize(length);
}

void CDrumKit::DispatchEvents() noexcept
{
    CControlBuffer* input = ports[kControlInPort]->control;
    if (input == nullptr)
        return;
    ControlEvent event;
    while (input->Pop(&event)) {
        int sound = -1;
        switch (event.type) {
        case kEventParameter:
            SetParameterNotify(event.index, event.value);
            break;
        case kEventNoteOn:
            if (event.index >= 0)
                sound = event.index % kSoundCount;
            break;
        case kEventTriggerOn:
            if (event.index >= 0 && event.index < kSoundCount)
                sound = event.index;
            break;
        default:
            break;   // note-offs and trigger-offs: a drum plays out its hit
        }
        if (sound >= 0)
            voices[static_cast<std::size_t>(sound)]->Events().Insert(&event);
    }
}

void CDrumKit::FillNoise(int frames) noexcept
{
    // Single precision, as the sounds were voiced with it. Drawn in runs:
    // one atomic exchange per run instead of one per sample.
    constexpr int kRun = 64;
    int values[kRun];
    for (int start = 0; start < frames; start += kRun) {
        const int n = std::min(kRun, frames - start);
        platform::RandomFill(values, n);
        for (int i = 0; i < n; ++i) {
            const float r = static_cast<float>(values[i]);
            noise[static_cast<std::size_t>(start + i)] = static_cast<double>(2.0f * (r / 32767.0f - 0.5f));
        }
    }
}

void CDrumKit::Work()
{
    DispatchEvents();
    CAudioBuffer* out = ports[kLineOutPort]->audio;
    if (!HasStereoSamples(out))
        return;
    out->Clear();
    // The noise buffer and the voices' work buffers hold one block; a
    // longer port buffer (a resize not yet followed by SetBlockSize) plays
    // only that much.
    const int frames = std::min(out->length, blockSize);
    FillNoise(frames);
    for (int k = 0; k < kSoundCount; ++k) {
        const int level = LevelParameter(k);
        const double g = LevelGain(values[level]);
        const double balance = values[level + 1];
        voices[static_cast<std::size_t>(k)]->Play(out->left, out->right, noise.data(), frames,
                                                   2.0 * g * (1.0 - balance), 2.0 * g * balance);
    }
}

bool CDrumKit::GetEditorRect(std::int16_t* top, std::int16_t* left, std::int16_t* bottom, std::int16_t* right)
{
    return SkinEditorRect(images, CDrumKitGUI::kBackground, top, left, bottom, right);
}

WindowHandle CDrumKit::CreateEditor(WindowHandle parent)
{
    if (images == nullptr || !images->IsComplete())
        return nullptr;
    return editor.Open(parent, std::make_unique<CDrumKitGUI>(this, *images));
}

void CDrumKit::CloseEditor()
{
    editor.Close();
}
