#pragma once
// CPortamento: a pitch that slides to each new target. The slide takes
// |target - start| * secondsPerOctave + fixedSeconds; a slide of no time
// jumps, and so does the first target after construction or Reset, which has
// nowhere to slide from. Pitches are in octaves (5 = 440 Hz).
//
// RenderOffset gives the pitch minus the target (0 once the slide is over),
// which is how the synthesizer's voice adds the slide to notes that already
// carry their own pitch; RenderPitch gives the pitch itself. Audio thread
// only once rendering starts.

#include "stockpack/dsp/CurveShape.h"

class CPortamento {
public:
    void SetSampleRate(int sampleRate);
    void SetTimes(double fixedSeconds, double secondsPerOctave);
    /// CurveShape curve; 0 slides in a straight line.
    void SetCurve(double curve);

    /// Slides from the current pitch to target.
    void Start(double targetOctaves) noexcept;
    /// Forgets the pitch: the next Start jumps.
    void Reset() noexcept;

    void RenderOffset(double* out, int frames) noexcept;
    void RenderPitch(double* out, int frames) noexcept;
    /// Advances without output.
    void Skip(int frames) noexcept;

    bool IsSliding() const { return sliding; }
    double Pitch() const noexcept;
    double Target() const { return target; }

private:
    double Next() noexcept;

    bool hasPitch = false;      // state
    bool sliding = false;
    double start = 0.0;
    double target = 0.0;
    double position = 0.0;
    double step = 1.0;
    CurveShape shape;           // settings
    double fixedSeconds = 0.0;
    double secondsPerOctave = 0.0;
    int sampleRate = 44100;
};
