#pragma once
// The command line's two VST commands: list what the scan cache holds, and
// examine every plug-in file of the VST folders again.

#include <cstdio>

/// Prints the cache, one line per file. Returns the exit code.
int ListVstCache(std::FILE* out);
/// Examines every file of the options' VST folders afresh, writes the
/// cache, prints the cache and a summary line. Returns the exit code.
int RescanVstPlugins(bool quiet, std::FILE* out);
