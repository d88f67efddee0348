#pragma once
// Where the output drivers send a text the user must see when no caller is
// there to catch it: a device lost while playing, a failed stop. The
// program shows it the way it shows every failure (a message box "Corvane"
// in the window, standard error on the command line); until it says how,
// the text goes to standard error.
//
// Threads: a driver reports from whatever thread found the failure (the
// ALSA writer, a JACK watcher, the user-interface thread), never from the
// real-time callback. A handler that shows a window must hand the text over
// to the user-interface thread and return without waiting for it, because
// that thread may be stopping the very driver that reports.

/// Receives each text; context is what was given with the handler.
using DriverMessageHandler = void (*)(void* context, const char* text);

/// Replaces the handler; null restores standard error.
void SetDriverMessageHandler(DriverMessageHandler handler, void* context);
/// Hands a text to the handler.
void ShowDriverMessage(const char* text);
