#pragma once
// CEnvelope: the attack / decay / sustain / release envelope of the stock
// synthesizers, with a curve for each timed stage.
//
// A position x runs from 0 to 1 through each timed stage in steps of
// 1 / (time * sampleRate). Attack outputs curve(x), decay falls from 1 to the
// sustain level, release from 1 to 0; a note-on or note-off in the middle of
// a stage turns the current level into the matching position of the next
// stage, so the output never jumps. Audio thread only once rendering starts.

#include <cstdint>

#include "stockpack/dsp/CurveShape.h"

class CEnvelope {
public:
    enum class Stage : std::int32_t { Idle, Attack, Decay, Sustain, Release };

    void SetSampleRate(int sampleRate);
    void SetAttack(double seconds);
    void SetDecay(double seconds);
    void SetSustain(double level);
    void SetRelease(double seconds);
    /// Curves (v - 0.5) * 16 of CurveShape. A change in the running stage
    /// keeps the level where it is.
    void SetAttackCurve(double curve);
    void SetDecayCurve(double curve);
    void SetReleaseCurve(double curve);

    /// Starts the attack from the current level; an attack under way goes on.
    void NoteOn() noexcept;
    /// Starts the release from the current level.
    void NoteOff() noexcept;
    /// Back to idle at level 0.
    void Reset() noexcept;

    void Render(double* out, int frames) noexcept;

    bool IsActive() const { return stage != Stage::Idle; }
    Stage CurrentStage() const { return stage; }
    /// The value the next sample starts from.
    double Level() const noexcept;

private:
    static double Step(double seconds, int sampleRate);

    Stage stage = Stage::Idle;        // state
    double position = 0.0;
    double attackStep = 0, decayStep = 0, releaseStep = 0;   // derived
    CurveShape attackCurve, decayCurve, releaseCurve;
    double attackSeconds = 0.01, decaySeconds = 0.01, releaseSeconds = 0.01;   // settings
    double sustain = 1.0;
    int sampleRate = 44100;
};
