#pragma once
// CLiteMeter: a stereo level meter on a skinned panel: two columns of
// 3 dB segments from -33 dB to +3 dB (decibels as 10 log10 of the peak, the
// program's convention), green, then yellow from -6 dB, red above 0 dB.
// Each display refresh takes the peaks its feed collected; the shown level
// jumps up to a new peak and otherwise falls by a fixed number of decibels
// per refresh, like the studio's peak meter.
//
// Threads: user-interface thread (the feed is filled elsewhere).

#include "gui/LiteControl.h"

class CPeakFeed;

class CLiteMeter : public CLiteControl {
public:
    static constexpr int kSegments = 12;
    static constexpr double kTopDb = 3.0;
    static constexpr double kSegmentDb = 3.0;
    /// How far the shown level falls per refresh (40 ms): about 19 dB a
    /// second.
    static constexpr double kFallDbPerRefresh = 0.75;

    CLiteMeter(CLiteContainer* container, int x, int y, int width, int height, CPeakFeed* feed);

    /// Takes the feed's peaks, lets the shown levels fall and redraws when
    /// a lit segment changed.
    void Update();
    /// Lit segments of a channel for a level in decibels.
    static int LitSegments(double levelDb);
    /// 10 log10 of a peak; very small peaks read -120 dB.
    static double PeakDb(double peak);
    double LevelDb(int channel) const { return levelDb[channel]; }

    void Draw(CPicture& backBuffer) override;

private:
    CPeakFeed* feed;
    double levelDb[2] = {-120.0, -120.0};
    int lit[2] = {0, 0};
};
