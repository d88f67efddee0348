#pragma once
// The driver layer's notice that the device or server a started driver
// plays through has gone (an ALSA device that fails its writes, a JACK
// server that shut down). The driver that finds the loss reports it once:
// with no listener the text goes to the user through ShowDriverMessage,
// else every listener is told and shows it its own way; the loss count
// grows by one either way.
//
// Who listens: `corvane --play` ends the program; a window stops the
// current driver and offers the driver choice again. Both only note the
// loss in their listener and act on it from their own thread.
//
// Threads: reports come from the thread that found the loss (the ALSA
// notifier, the JACK watcher), never from a real-time callback. A listener
// runs on that thread with the listener list locked; it must return at
// once and must not stop a driver or wait for the thread that does:
// stopping the lost driver ends the very thread the listener runs on.
// Adding and removing listeners may happen on any thread; once
// RemoveDeviceLostListener returns, the listener is not running and will
// not be called again.

#include <cstdint>

/// Receives one loss: the driver's name ("Wave Out", "ASIO") and the text
/// the user was shown.
using DeviceLostListener = void (*)(void* context, const char* driverName, const char* text);

/// Returns an id for RemoveDeviceLostListener (never 0).
int AddDeviceLostListener(DeviceLostListener listener, void* context);
void RemoveDeviceLostListener(int id);

/// Shows text and tells every listener. Called by the drivers, once per
/// loss.
void ReportDeviceLost(const char* driverName, const char* text);

/// How many losses were reported since the program started: a listener of
/// its own for code that polls (read before starting, compare while
/// playing).
std::uint64_t DeviceLossCount();
