#pragma once
// CTimeDisplay's model: the recorded time of a recorder track as
// "HH:MM:SS.mmm". The display thread sets it, the view paints its text;
// it has a lock of its own, taken inside the track lock.

#include <string>

#include "framework/Mutex.h"

class CTimeDisplay {
public:
    static constexpr int kTextLength = 12;   // "HH:MM:SS.mmm"

    /// Hours modulo 100, minutes, seconds, milliseconds, each truncated,
    /// zero-padded.
    static void Format(double seconds, char out[kTextLength + 1]);

    /// True when the time shown changed, so the view redraws.
    bool SetTime(double seconds);
    double GetTime();
    std::string Text();

private:
    CMutex lock;
    double shown = 0.0;
    char text[kTextLength + 1] = "00:00:00.000";
};
