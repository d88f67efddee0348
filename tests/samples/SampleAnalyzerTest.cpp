// The sample analyzer's list and spectrum: the real WAV files that ALSA
// ships, copied into a "Samples" folder; an empty folder; and a generated
// sine whose spectrum must peak at the bin its cycle count predicts.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <vector>

#include "framework/Error.h"
#include "samples/SampleAnalyzer.h"
#include "samples/SampleSpectrum.h"
#include "tests/project/ScratchFolder.h"

using project_test::CScratchFolder;
using project_test::WriteBytes;

namespace {

constexpr const char* kAlsaSounds = "/usr/share/sounds/alsa";

std::vector<std::string> AlsaWavNames()
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(kAlsaSounds))
        if (entry.path().extension() == ".wav")
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

/// A sine of `cycles` whole cycles over `count` samples, at `frequencyHz`.
CMonoSample Sine(double frequencyHz, int sampleRate, int count)
{
    std::vector<double> values(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        values[static_cast<std::size_t>(i)] = 0.8 * std::sin(2.0 * std::numbers::pi * frequencyHz * i / sampleRate);
    return CMonoSample(count, values.data(), sampleRate);
}

int PeakBin(const std::array<double, kSpectrumPoints>& spectrum, int firstBin, int lastBin)
{
    return static_cast<int>(std::max_element(spectrum.begin() + firstBin, spectrum.begin() + lastBin + 1) -
                            spectrum.begin());
}

} // namespace

TEST(SampleAnalyzer, ListsAndLoadsTheWavFilesOfTheSamplesFolder)
{
    CScratchFolder folder;
    std::filesystem::create_directory(folder.path / "Samples");
    const std::vector<std::string> names = AlsaWavNames();
    ASSERT_FALSE(names.empty()) << "alsa-utils ships its test sounds";
    for (const std::string& name : names)
        std::filesystem::copy_file(std::string(kAlsaSounds) + "/" + name, folder.path / "Samples" / name);
    // Neither a text file nor a folder named like a WAV file is listed.
    WriteBytes(folder.File("Samples/notes.txt"), {'x'});
    std::filesystem::create_directory(folder.path / "Samples" / "folder.wav");

    CSampleAnalyzer analyzer(folder.path.string());
    EXPECT_EQ(analyzer.GetSampleNames(), names);
    ASSERT_EQ(analyzer.GetSamplePaths().size(), names.size());
    EXPECT_EQ(analyzer.GetSamplePaths()[0], folder.path.string() + "/Samples/" + names[0]);
    for (int i = 0; i < static_cast<int>(names.size()); ++i) {
        const CMonoSample& sample = analyzer.SelectSample(i);
        // The voice files run a second or more at 48 kHz.
        EXPECT_GT(sample.GetCount(), 24000) << names[static_cast<std::size_t>(i)];
        const std::array<double, kSpectrumPoints> spectrum = SampleSpectrum(sample);
        EXPECT_GT(*std::max_element(spectrum.begin(), spectrum.end()), 0.0);
    }
}

TEST(SampleAnalyzer, RelativePathsAndEmptyOrMissingFolders)
{
    CScratchFolder folder;
    EXPECT_TRUE(CSampleAnalyzer(folder.path.string()).GetSamplePaths().empty()) << "no Samples folder";
    std::filesystem::create_directory(folder.path / "Samples");
    EXPECT_TRUE(CSampleAnalyzer(folder.path.string()).GetSamplePaths().empty()) << "an empty one";

    // Without a base folder the entries are relative to the working folder.
    const double values[3] = {0.0, 0.5, -0.5};
    CMonoSample(3, values, 8000).SaveWav(folder.File("Samples/short.WAV").c_str());
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.path);
    CSampleAnalyzer analyzer;
    std::filesystem::current_path(previous);
    EXPECT_EQ(analyzer.GetSamplePaths(), std::vector<std::string>{"Samples/short.WAV"});
}

TEST(SampleAnalyzer, AFileThatCannotBeReadThrowsItsMessageAndKeepsTheLastSample)
{
    CScratchFolder folder;
    std::filesystem::create_directory(folder.path / "Samples");
    const double values[2] = {0.25, -0.25};
    CMonoSample(2, values, 8000).SaveWav(folder.File("Samples/a.wav").c_str());
    WriteBytes(folder.File("Samples/b.wav"), {'R', 'I', 'F', 'F'});
    CSampleAnalyzer analyzer(folder.path.string());
    ASSERT_EQ(analyzer.GetSampleNames(), (std::vector<std::string>{"a.wav", "b.wav"}));
    EXPECT_EQ(analyzer.SelectSample(0).GetCount(), 2);
    try {
        analyzer.SelectSample(1);
        FAIL() << "a four-byte file is not a WAV file";
    } catch (const CError& error) {
        EXPECT_EQ(error.Message(), "Unexpected End Of File Reading <" + folder.File("Samples/b.wav") + ">");
    }
    EXPECT_EQ(analyzer.GetSample().GetCount(), 2);
    EXPECT_EQ(analyzer.SelectSample(7).GetCount(), 2) << "outside the list nothing changes";
}

TEST(SampleSpectrum, ASinePeaksAtItsCycleCount)
{
    // 1 kHz for 10 ms at 44.1 kHz: ten cycles over the sample, so bin 10 and
    // its mirror 246 hold the energy whatever the 256-point resampling does.
    const CMonoSample sine = Sine(1000.0, 44100, 441);
    const std::array<double, kSpectrumPoints> spectrum = SampleSpectrum(sine);
    EXPECT_EQ(PeakBin(spectrum, 0, 128), 10);
    EXPECT_EQ(PeakBin(spectrum, 129, 255), 246);
    // A real input gives a mirrored spectrum; the peak stands far above the
    // leakage of the endpoint-to-endpoint resampling (0.8 * 128 = 102 ideal).
    EXPECT_NEAR(spectrum[10], spectrum[246], 1e-9);
    EXPECT_GT(spectrum[10], 80.0);
    EXPECT_LT(spectrum[30], spectrum[10] / 20.0);

    // Longer: 1 kHz for 40 ms gives bin 40.
    EXPECT_EQ(PeakBin(SampleSpectrum(Sine(1000.0, 48000, 1920)), 0, 128), 40);
}

TEST(SampleSpectrum, ResamplingHitsBothEndsAndInterpolates)
{
    const double ramp[3] = {0.0, 1.0, -1.0};
    const std::vector<double> points = ResampleLinear(CMonoSample(3, ramp, 100), 5);
    EXPECT_EQ(points, (std::vector<double>{0.0, 0.5, 1.0, 0.0, -1.0}));
    EXPECT_EQ(ResampleLinear(CMonoSample(), 4), std::vector<double>(4, 0.0));
    const double one[1] = {0.5};
    EXPECT_EQ(ResampleLinear(CMonoSample(1, one, 100), 3), std::vector<double>(3, 0.5));
}
