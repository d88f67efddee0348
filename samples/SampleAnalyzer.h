#pragma once
// CSampleAnalyzer: what the sample analyzer window shows, without the
// window: the WAV files of the "Samples" folder of the working folder, and
// the sample of the entry chosen last.
//
// Threads: user-interface thread.

#include <string>
#include <vector>

#include "samples/MonoSample.h"

class CSampleAnalyzer {
public:
    /// Lists the "*.wav" files of `baseFolder`/Samples ("" is the working
    /// folder, so entries are "Samples/<file name>"), sorted by name.
    explicit CSampleAnalyzer(const std::string& baseFolder = "");

    /// The files as remembered: "Samples/" followed by the file name, after
    /// the base folder when one was given.
    const std::vector<std::string>& GetSamplePaths() const { return paths; }
    /// The file names alone, as the combo box lists them.
    std::vector<std::string> GetSampleNames() const;

    /// Loads entry `index` into a new sample and returns it. Throws CError
    /// with the reader's message, leaving the previous sample in place; an
    /// index outside the list changes nothing.
    const CMonoSample& SelectSample(int index);
    const CMonoSample& GetSample() const { return sample; }

private:
    std::vector<std::string> paths;
    CMonoSample sample;
};
