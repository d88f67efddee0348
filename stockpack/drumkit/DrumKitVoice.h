#pragma once
// CDrumKitVoice: what every sound of the VUziD8 drum kit shares: its own
// event queue (triggers and parameter changes at their sample times), the
// segment loop that plays the queue, the silent state that lets a finished
// sound cost nothing, and the left and right gains it is mixed with.
//
// A subclass makes one mono sound into the work buffer (RenderSound),
// restarts its envelopes on a trigger and says when they have all ended.
//
// Threads: the audio thread alone renders and applies events. The queue is
// filled by the machine under the machine's lock, which Work also holds;
// SetSampleRate and SetBlockSize come from the host with that lock held.

#include <vector>

#include "framework/ControlBuffer.h"

class CDrumKitVoice {
public:
    /// Parameter events beyond this many waiting are applied at once (the
    /// machine's lock keeps the audio thread out meanwhile).
    static constexpr int kMaxPendingEvents = 256;

    CDrumKitVoice(int sampleRate, int blockSize);
    CDrumKitVoice(const CDrumKitVoice&) = delete;
    CDrumKitVoice& operator=(const CDrumKitVoice&) = delete;

    /// A trigger (note-on or trigger-on) or a parameter event.
    virtual void HandleEvent(const ControlEvent& event) noexcept;
    /// Adds length samples from start to left and right, scaled by the
    /// gains; noise holds the block's shared noise from index 0.
    virtual void Render(int start, int length, double* left, double* right, const double* noise,
                        double leftGain, double rightGain) noexcept;
    virtual ~CDrumKitVoice();

    /// Plays the queue over frames samples: renders up to each event's time
    /// and applies it there.
    void Play(double* left, double* right, const double* noise, int frames, double leftGain,
              double rightGain) noexcept;
    CControlBuffer& Events() { return events; }
    /// Applies the queue's events of time 0 now. Machine's lock held.
    void ApplyPendingAtStart() noexcept;

    /// Not for the audio thread (SetBlockSize resizes the work buffers).
    virtual void SetSampleRate(int sampleRate);
    void SetBlockSize(int blockSize);

    bool IsSilent() const { return silent; }
    double LeftGain() const { return leftGainNow; }
    double RightGain() const { return rightGainNow; }
    /// Events waiting in the queue.
    int PendingEvents() const { return const_cast<CControlBuffer&>(events).Count(); }

protected:
    /// Restarts the sound's envelopes (from their current levels).
    virtual void Trigger() noexcept = 0;
    virtual void ApplyParameter(int index, double value) noexcept;
    /// Writes frames (at most Capacity()) mono samples to out; noise is
    /// the shared noise of these samples.
    virtual void RenderSound(double* out, const double* noise, int frames) noexcept = 0;
    /// True when every envelope that governs the sound has ended.
    virtual bool EnvelopesIdle() const noexcept = 0;

    /// Sounds whose gains glide (bass drum, snare) call this in their
    /// constructors.
    void GlideGains() { glideGains = true; }
    int Capacity() const { return capacity; }
    int SampleRate() const { return sampleRate; }
    /// Work buffer k (0 .. kWorkBuffers - 1), Capacity() samples.
    double* Work(int k) { return work[static_cast<std::size_t>(k)].data(); }
    /// Whether the segment being rendered is the first since creation
    /// (the gliding values are taken directly on it).
    bool FirstBlock() const { return firstBlock; }

    static constexpr int kWorkBuffers = 8;
    /// Samples of each decay the envelopes keep for the next hits: 93 ms at
    /// 44.1 kHz, the stretch a fast pattern hits again.
    static constexpr int kRememberedDecay = 4096;

private:
    void Mix(const double* sound, double* left, double* right, int frames, double leftGain,
             double rightGain) noexcept;

    CControlBuffer events;
    std::vector<double> work[kWorkBuffers];
    std::vector<double> mono;
    int capacity = 0;
    int sampleRate;
    bool silent = true;
    bool firstBlock = true;
    bool glideGains = false;
    double leftGainNow = 0.0;
    double rightGainNow = 0.0;
};
