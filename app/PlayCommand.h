#pragma once
// `corvane --play PROJECT`: the song once through a real-time driver.

#include <string>
#include <vector>

class CApplication;

/// 0 null, 1 alsa (Wave Out), 2 jack (ASIO).
int DriverIndexFromName(const std::string& name);
/// The names --driver takes: the Linux system's ("alsa", "jack") or the
/// driver's own ("waveout", "asio"), and "null".
std::vector<std::string> DriverNames();
/// Starts the driver, plays the song until it ends and a short tail has
/// passed, stops. Returns the exit code: 0, or 1 when the device or
/// server was lost while playing (the driver has said so).
int PlaySong(CApplication& application, int driverIndex, bool quiet);
