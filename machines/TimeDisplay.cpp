#include "machines/TimeDisplay.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "framework/ScopedLock.h"

void CTimeDisplay::Format(double seconds, char out[kTextLength + 1])
{
    // Negative or undefined times (none should arrive) show as zero.
    const double t = seconds > 0.0 ? seconds : 0.0;
    const int hours = static_cast<int>(std::fmod(t / 3600.0, 100.0));
    const int minutes = static_cast<int>(std::fmod(t / 60.0, 60.0));
    const int wholeSeconds = static_cast<int>(std::fmod(t, 60.0));
    const int milliseconds = static_cast<int>((t - std::floor(t)) * 1000.0);
    char formatted[32];
    std::snprintf(formatted, sizeof formatted, "%2i:%2i:%2i.%3i", hours, minutes, wholeSeconds, milliseconds);
    for (const int at : {0, 3, 6, 9, 10}) {
        if (formatted[at] == ' ')
            formatted[at] = '0';
    }
    // Every field is inside its width, so the text is exactly 12 characters.
    std::memcpy(out, formatted, kTextLength);
    out[kTextLength] = '\0';
}

bool CTimeDisplay::SetTime(double seconds)
{
    CScopedLock<CMutex> hold(lock);
    const bool changed = seconds != shown;
    if (changed) {
        shown = seconds;
        Format(seconds, text);
    }
    return changed;
}

double CTimeDisplay::GetTime()
{
    CScopedLock<CMutex> hold(lock);
    return shown;
}

std::string CTimeDisplay::Text()
{
    CScopedLock<CMutex> hold(lock);
    return text;
}
