#pragma once
// CLfo: the low-frequency oscillator of the stock synthesizers. Sine,
// triangle, saw (falling) and pulse read the library's shared tables;
// sample-and-hold holds a random value for each period, sample-and-glide
// moves in a straight line from one random value to the next across each
// period. The phase runs freely: notes do not restart it.
//
// Random values come from the program's 15-bit generator, handed in as a
// function so that this unit depends on nothing of the platform.

#include <cstdint>

#include "stockpack/dsp/TableOscillator.h"
#include "stockpack/dsp/Tables.h"

enum class LfoShape : std::int32_t { Sine, Triangle, Saw, Pulse, SampleAndHold, SampleAndGlide };

struct LfoTables {
    CountedTable sine;
    CountedTable triangle;
    CountedTable saw;
    CountedTable square;
};

class CLfo {
public:
    static constexpr int kShapeCount = 6;
    /// 0 .. kRandomMaximum.
    using RandomSource = int (*)() noexcept;
    static constexpr int kRandomMaximum = 32767;

    CLfo(const LfoTables& tables, RandomSource random);

    void SetSampleRate(int sampleRate);
    void SetRate(double hz);
    void SetShape(LfoShape shape);

    /// Values in -1 .. 1.
    void Render(double* out, int frames) noexcept;
    /// Advances as Render would, without output; the random shapes still
    /// draw once per wrap so that they stay in step.
    void Skip(int frames) noexcept;

    LfoShape Shape() const { return shape; }
    double Phase() const { return oscillator.Phase(); }

private:
    /// 2 * (r / 32767 - 0.5) in single precision.
    double DrawRandom() noexcept;
    void OnWrap() noexcept;

    CTableOscillator oscillator;   // state
    double held = 0.0;             // S&H value; S&G start
    double next = 0.0;             // S&G end
    LfoTables tables;              // settings
    RandomSource random;
    LfoShape shape = LfoShape::Sine;
};
