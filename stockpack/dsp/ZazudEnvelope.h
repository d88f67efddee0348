#pragma once
// ZazudEnvelope: the one-shot envelope of the drum machines: an optional
// delay, an attack, an optional hold and a decay, each a stage whose
// position x runs from 0 to 1 in steps of 1 / (time * sampleRate), with a
// curve for the attack and one for the decay (CurveShape). After the decay
// it goes idle, or back to the attack while repeats remain (the clap's
// bursts).
//
// A trigger never jumps: a decaying or holding envelope turns its current
// level into the attack position that gives that level, and an attack
// under way simply goes on. A decay curve changed during the decay keeps
// the level where it is. Audio thread only once rendering starts.
//
// Every decay starts from position 0 and takes the same steps, so with the
// same decay time and curve it gives the same samples, bit for bit, on
// every hit. RememberDecays keeps the start of a decay (its positions,
// levels and amplifier gains) the first time it is rendered; the next hits
// copy it instead of calling exp and exp2 for each sample. A drum kit hit
// again and again costs a fraction of its first hit.

#include <cstdint>
#include <vector>

#include "stockpack/dsp/CurveShape.h"

class ZazudEnvelope {
public:
    enum class Stage : std::int32_t { Idle = 0, Delay = 1, Attack = 2, Hold = 3, Decay = 4 };

    ZazudEnvelope();

    void SetSampleRate(int sampleRate);
    /// Times in seconds; 0 or less makes the stage one sample long (delay
    /// and hold: skipped).
    void SetDelay(double seconds);
    void SetAttack(double seconds);
    void SetHold(double seconds);
    void SetDecay(double seconds);
    void SetAttackCurve(double curve);
    void SetDecayCurve(double curve);
    /// How many times the attack restarts after a decay ends.
    void SetRepeatCount(int repeats);

    /// Starts (or continues) the attack from the current level.
    void Trigger() noexcept;
    /// Back to idle at level 0.
    void Reset() noexcept;
    /// gains, when given, receives AmplifierGain of each level.
    void Render(double* out, int frames, double* gains = nullptr) noexcept;
    /// Keeps up to samples of each decay (their amplifier gains too when
    /// withGains) for the next hits. Allocates: not for the audio thread.
    void RememberDecays(int samples, bool withGains);

    bool IsIdle() const { return stage == Stage::Idle; }
    Stage CurrentStage() const { return stage; }
    /// The level of the last sample rendered (0 when idle).
    double Level() const noexcept;

private:
    static double Increment(double seconds, int sampleRate);
    void UpdateIncrements();
    double Next() noexcept;
    /// After the decay's last sample: back to the attack while repeats
    /// remain, else idle.
    void EndDecay() noexcept;
    /// Renders the decay from out[start] until it ends (that sample
    /// included) or frames is reached; returns the next sample to render.
    int RenderDecay(double* out, double* gains, int start, int frames) noexcept;
    /// Copies the remembered samples from decayIndex on; returns the next
    /// sample to render.
    int CopyRemembered(double* out, double* gains, int start, int frames) noexcept;
    /// AmplifierGain with the last result kept (hold and sustain repeat it).
    double GainOf(double level) noexcept;
    /// The remembered samples no longer fit the settings.
    void Forget() noexcept;

    Stage stage = Stage::Idle;     // state
    double x = 0.0;
    double pendingAttack = 0.0;    // where the attack starts after a delay
    int repeatsLeft = 0;
    int decayIndex = -1;           // samples into a decay begun at 0; -1 when off that path
    double gainLevel = 0.0, gainOfLevel = 0.0;
    std::vector<double> rememberedPositions, rememberedLevels, rememberedGains;
    int remembered = 0;            // valid samples of a decay from 0 with the current settings
    int rememberCapacity = 0;
    double delayIncrement = 1, attackIncrement = 1, holdIncrement = 1, decayIncrement = 1;   // derived
    CurveShape attackShape, decayShape;
    double delaySeconds = 0.0, attackSeconds = 0.01, holdSeconds = 0.0, decaySeconds = 1.0;   // settings
    int repeatCount = 0;
    int sampleRate = 44100;
};
