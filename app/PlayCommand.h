#pragma once
// `corvane --play PROJECT`: the song once through a real-time driver.

#include <string>

class CApplication;

/// 0 null, 1 alsa (Wave Out), 2 jack (ASIO).
int DriverIndexFromName(const std::string& name);
/// Starts the driver, plays the song until it ends and a short tail has
/// passed, stops. Returns the exit code.
int PlaySong(CApplication& application, int driverIndex, bool quiet);
