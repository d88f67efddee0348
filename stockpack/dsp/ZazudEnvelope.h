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

#include <cstdint>

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
    void Render(double* out, int frames) noexcept;

    bool IsIdle() const { return stage == Stage::Idle; }
    Stage CurrentStage() const { return stage; }
    /// The level of the last sample rendered (0 when idle).
    double Level() const noexcept;

private:
    static double Increment(double seconds, int sampleRate);
    void UpdateIncrements();
    double Next() noexcept;

    Stage stage = Stage::Idle;     // state
    double x = 0.0;
    double pendingAttack = 0.0;    // where the attack starts after a delay
    int repeatsLeft = 0;
    double delayIncrement = 1, attackIncrement = 1, holdIncrement = 1, decayIncrement = 1;   // derived
    CurveShape attackShape, decayShape;
    double delaySeconds = 0.0, attackSeconds = 0.01, holdSeconds = 0.0, decaySeconds = 1.0;   // settings
    int repeatCount = 0;
    int sampleRate = 44100;
};
