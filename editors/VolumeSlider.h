#pragma once
// CVolumeSlider's model: the master volume slider of the main tool bar. Its
// position x in 0 .. 1 spans -34 .. +6 in this program's decibels (10 x
// log10 of the gain), and sets the master gain target the audio callback
// glides towards. The tool bar's widget shows Label() beside the thumb.
//
// Threads: user-interface thread; the target it hands out is read by the
// audio callback.

#include <functional>
#include <string>

class CVolumeSlider {
public:
    static constexpr double kTopDb = 6.0;
    static constexpr double kRangeDb = 40.0;

    /// 6 - (1 - x) x 40.
    static double LevelDbForPosition(double position);
    /// 10^(level / 10): about 0.000398 .. 3.98.
    static double GainForPosition(double position);
    /// 1 + (10 log10(gain) - 6) / 40, limited to 0 .. 1 (0 for a gain of 0
    /// or less).
    static double PositionForGain(double gain);
    /// "%.2fdB" with the position's level.
    static std::string FormatLabel(double position);

    /// Receives the new target gain whenever the position changes.
    using GainTarget = std::function<void(double gain)>;
    explicit CVolumeSlider(GainTarget target = {}) : target(std::move(target)) {}

    /// Places the slider where the current gain puts it, without setting it.
    void ShowGain(double gain) { position = PositionForGain(gain); }
    /// The user moved the slider: limits x to 0 .. 1 and sets the target.
    void SetPosition(double x);
    double GetPosition() const { return position; }
    double GetGain() const { return GainForPosition(position); }
    std::string GetLabel() const { return FormatLabel(position); }

private:
    GainTarget target;
    double position = 1.0;
};
