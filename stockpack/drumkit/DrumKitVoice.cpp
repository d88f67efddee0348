#include "stockpack/drumkit/DrumKitVoice.h"

#include <algorithm>

#include "framework/Glide.h"

CDrumKitVoice::CDrumKitVoice(int sampleRate, int blockSize) : sampleRate(sampleRate)
{
    events.Reserve(2 * kMaxPendingEvents);
    SetBlockSize(blockSize);
}

CDrumKitVoice::~CDrumKitVoice() = default;

void CDrumKitVoice::SetSampleRate(int rate)
{
    sampleRate = rate;
}

void CDrumKitVoice::SetBlockSize(int blockSize)
{
    capacity = std::max(blockSize, 1);
    for (auto& buffer : work)
        buffer.assign(static_cast<std::size_t>(capacity), 0.0);
    mono.assign(static_cast<std::size_t>(capacity), 0.0);
}

void CDrumKitVoice::ApplyParameter(int, double) noexcept {}

void CDrumKitVoice::HandleEvent(const ControlEvent& event) noexcept
{
    switch (event.type) {
    case kEventNoteOn:
    case kEventTriggerOn:
        silent = false;
        Trigger();
        break;
    case kEventParameter:
        ApplyParameter(event.index, event.value);
        break;
    default:
        break;
    }
}

void CDrumKitVoice::ApplyPendingAtStart() noexcept
{
    ControlEvent event;
    while (events.Count() > 0 && events.At(0)->time <= 0 && events.Pop(&event))
        HandleEvent(event);
}

void CDrumKitVoice::Play(double* left, double* right, const double* noise, int frames, double leftGain,
                         double rightGain) noexcept
{
    int position = 0;
    ControlEvent event;
    while (events.Pop(&event)) {
        // Times outside the block are taken at its nearest end, so that a
        // stray event can neither render past the buffers nor be lost.
        const int time = std::clamp(event.time, position, frames);
        if (time > position) {
            Render(position, time - position, left, right, noise, leftGain, rightGain);
            position = time;
        }
        HandleEvent(event);
    }
    if (position < frames)
        Render(position, frames - position, left, right, noise, leftGain, rightGain);
}

void CDrumKitVoice::Render(int start, int length, double* left, double* right, const double* noise,
                           double leftGain, double rightGain) noexcept
{
    if (silent)
        return;
    if (firstBlock) {
        leftGainNow = leftGain;
        rightGainNow = rightGain;
    }
    while (length > 0) {
        const int n = std::min(length, capacity);
        RenderSound(mono.data(), noise + start, n);
        Mix(mono.data(), left + start, right + start, n, leftGain, rightGain);
        start += n;
        length -= n;
    }
    firstBlock = false;
    if (EnvelopesIdle())
        silent = true;
}

void CDrumKitVoice::Mix(const double* sound, double* left, double* right, int frames, double leftGain,
                        double rightGain) noexcept
{
    if (!glideGains) {
        leftGainNow = leftGain;
        rightGainNow = rightGain;
        for (int i = 0; i < frames; ++i) {
            left[i] += sound[i] * leftGain;
            right[i] += sound[i] * rightGain;
        }
        return;
    }
    double l = leftGainNow;
    double r = rightGainNow;
    for (int i = 0; i < frames; ++i) {
        l = GlideToward(l, leftGain);
        r = GlideToward(r, rightGain);
        left[i] += sound[i] * l;
        right[i] += sound[i] * r;
    }
    leftGainNow = l;
    rightGainNow = r;
}
