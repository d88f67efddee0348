#pragma once
// Examines one plug-in file in a child process (the corvane-vstscan helper
// installed beside the program) with a time limit, so that a file that
// crashes or hangs while loading never takes the studio down.

#include <string>

#include "plugins/vst/VSTScanRecord.h"

struct VSTExamineOptions {
    /// The helper program; "" for DefaultScannerPath().
    std::string helperPath;
    /// Seconds a file may take before its examination is ended.
    double timeoutSeconds = 10.0;
};

/// $CORVANE_VST_SCANNER when set, else "corvane-vstscan" beside the running
/// program.
std::string DefaultScannerPath();
/// $CORVANE_VST_SCAN_TIMEOUT (seconds) when set and positive, else 10.
double DefaultScanTimeoutSeconds();

/// The record for path (identity included): ok with what the helper
/// reported, or not ok with the reason: the helper's own ("cannot be
/// loaded: ...", "no entry point ..."), "crashed (signal N)", "timed out
/// after N s", or that the helper could not be started.
VSTScanRecord ExamineVstFile(const std::string& path, const VSTExamineOptions& options);
