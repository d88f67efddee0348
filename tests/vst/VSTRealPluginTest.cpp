// The real plug-ins Debian ships in /usr/lib/vst (lsp-plugins-vst's, entry
// "VSTPluginMain"; dpf-plugins-vst's, entry "main"): the whole folder
// through the real scanner, a synthesizer's pitch, noise through effects,
// and a project that keeps their parameters.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <random>

#include "framework/AudioBuffer.h"
#include "framework/Port.h"
#include "host/Connector.h"
#include "plugins/vst/VSTAdapter.h"
#include "plugins/vst/VSTAdapterInfo.h"
#include "plugins/vst/VSTExaminer.h"
#include "project/ProjectCommands.h"
#include "sequencing/StudioPlayback.h"
#include "tests/sequencing/SequencingRig.h"
#include "tests/vst/VstTestSupport.h"

using host_test::ScratchFolder;
using namespace vst_test;

// Some of the real plug-ins leave memory behind when they are unloaded,
// where the leak checker can no longer name them. The adapter's own
// allocations are checked by vst_test, whose test plug-ins take the same
// paths through it.
extern "C" const char* __asan_default_options()
{
    return "detect_leaks=0";
}

namespace {

const std::string kSystemFolder = "/usr/lib/vst";

bool HaveSystemPlugIns()
{
    return std::filesystem::exists(kSystemFolder + "/Kars-vst.so") &&
           std::filesystem::exists(kSystemFolder + "/lsp-plugins/compressor-stereo.so");
}

/// Registers one real file, examined by the helper as the scan does.
CVSTAdapterInfo* RegisterFile(const std::string& path, CHost* host, CMachineRegistry& registry)
{
    VSTExamineOptions options;
    options.helperPath = VST_SCANNER;
    const VSTScanRecord record = ExamineVstFile(path, options);
    EXPECT_TRUE(record.ok) << path << ": " << record.reason;
    if (!record.ok)
        return nullptr;
    auto* info = new CVSTAdapterInfo(host, std::filesystem::path(path).filename(),
                                     std::filesystem::path(path).parent_path().string() + "/", path, record.entry,
                                     record.uniqueId);
    registry.Register(info);
    return info;
}

CMachineContainer* AddMachine(sequencing_test::CSequencingRig& rig, CVSTAdapterInfo* info, const char* name)
{
    CMachine* machine = info->CreateMachine();
    CMachineContainer* container = rig.studio->AddMachine(machine, info, name, 100, 100, nullptr, 0, false);
    AddMachineToEditors(*rig.patternEditor, *rig.sequenceEditor, container);
    return container;
}

CConnector* FirstConnector(CMachineContainer* container, bool output, bool audio)
{
    for (CConnector* connector : container->connectors) {
        if (connector->IsOutput() == output && connector->IsAudio() == audio)
            return connector;
    }
    return nullptr;
}

/// Frequency from the first autocorrelation peak that comes within 10 % of
/// the strongest (a plucked string repeats nearly unchanged for many
/// periods, so later multiples can win by a hair). The offset is removed
/// first; the pluck carries one.
double MeasurePitchHz(std::vector<double> signal, int sampleRate)
{
    double mean = 0.0;
    for (double sample : signal)
        mean += sample / static_cast<double>(signal.size());
    for (double& sample : signal)
        sample -= mean;
    const int minLag = sampleRate / 2000;
    const int maxLag = sampleRate / 50;
    const std::size_t n = signal.size() - static_cast<std::size_t>(maxLag) - 1;
    std::vector<double> correlation(static_cast<std::size_t>(maxLag) + 2, 0.0);
    for (int lag = minLag - 1; lag <= maxLag + 1; ++lag) {
        double sum = 0.0;
        for (std::size_t i = 0; i < n; ++i)
            sum += signal[i] * signal[i + static_cast<std::size_t>(lag)];
        correlation[static_cast<std::size_t>(std::min(lag, maxLag + 1))] = sum;
    }
    const double strongest = *std::max_element(correlation.begin() + minLag, correlation.begin() + maxLag);
    for (int lag = minLag; lag < maxLag; ++lag) {
        const double here = correlation[static_cast<std::size_t>(lag)];
        const double before = correlation[static_cast<std::size_t>(lag - 1)];
        const double after = correlation[static_cast<std::size_t>(lag + 1)];
        if (here >= 0.9 * strongest && here >= before && here >= after) {
            const double shift = 0.5 * (before - after) / (before - 2.0 * here + after);
            return sampleRate / (lag + shift);
        }
    }
    return 0.0;
}

void ProcessBlocks(CMachine* machine, int blocks)
{
    for (int i = 0; i < blocks; ++i) {
        machine->Lock();
        machine->Work();
        machine->Unlock();
    }
}

double Rms(const double* samples, int count)
{
    double sum = 0.0;
    for (int i = 0; i < count; ++i)
        sum += samples[i] * samples[i];
    return std::sqrt(sum / count);
}

} // namespace

TEST(VSTRealPlugIns, EveryFileOfTheSystemFolderIsRegisteredOrRecordedWithItsReason)
{
    if (!HaveSystemPlugIns())
        GTEST_SKIP() << "lsp-plugins-vst and dpf-plugins-vst are not installed";
    ScratchFolder scratch;
    sequencing_test::CSequencingRig rig{512};
    const VSTScanReport report = ScanInto(kSystemFolder, scratch / "cache.json", rig.host.get(), rig.registry.get());
    const std::vector<std::string> files = ListVstFiles(kSystemFolder);
    ASSERT_EQ(report.files.size(), files.size());
    int lsp = 0;
    int dpf = 0;
    for (const VSTScanRecord& record : report.files) {
        EXPECT_TRUE(record.ok || !record.reason.empty()) << record.path;
        if (record.ok && record.entry == VSTEntryKind::PluginMain)
            ++lsp;
        if (record.ok && record.entry == VSTEntryKind::Main)
            ++dpf;
    }
    EXPECT_GE(lsp, 100);
    EXPECT_GE(dpf, 10);
    EXPECT_EQ(report.registered, lsp + dpf);
    std::printf("%zu files: %d registered (%d VSTPluginMain, %d main), %d failed, %.2f s\n", files.size(),
                report.registered, lsp, dpf, report.failed, report.seconds);

    // Started again: all from the cache.
    sequencing_test::CSequencingRig again{512};
    const VSTScanReport cached = ScanInto(kSystemFolder, scratch / "cache.json", again.host.get(), again.registry.get());
    EXPECT_EQ(cached.examined, 0);
    EXPECT_EQ(cached.registered, report.registered);
    std::printf("cached: %.3f s\n", cached.seconds);
}

TEST(VSTRealPlugIns, ASynthesizerPlaysTheNoteOfAPatternAtItsPitch)
{
    if (!HaveSystemPlugIns())
        GTEST_SKIP() << "dpf-plugins-vst is not installed";
    sequencing_test::CSequencingRig rig{256};
    CVSTAdapterInfo* kars = RegisterFile(kSystemFolder + "/Kars-vst.so", rig.host.get(), *rig.registry);
    ASSERT_NE(kars, nullptr);
    CMachineContainer* synth = AddMachine(rig, kars, "Kars");
    ASSERT_NE(synth, nullptr);
    ASSERT_STREQ(host_test::Unpacked(synth->machine->ports[0]->name), "Control In");
    rig.studio->Connect(FirstConnector(synth, true, true), rig.studio->MasterContainer()->connectors[0]);
    CPattern* pattern = rig.AddPattern(synth->machine, 16);
    pattern->AddNote(0, 60, 69);   // A4, 440 Hz
    const CSequence& song = rig.sequenceEditor->Sequence();
    rig.sequenceEditor->SetLength(16);
    rig.sequenceEditor->PlaceEntry(song.IndexOfTrack(song.FindTrack(pattern->Target())), 0, pattern);
    rig.sequenceEditor->Play();

    std::vector<double> left;
    for (int block = 0; block < 80; ++block) {
        rig.driver->Render(1, [&left](int, const double* const* buffers, int length) {
            left.insert(left.end(), buffers[0], buffers[0] + length);
        });
    }
    bool finite = true;
    double peak = 0.0;
    for (double sample : left) {
        finite = finite && std::isfinite(sample);
        peak = std::max(peak, std::fabs(sample));
    }
    EXPECT_TRUE(finite);
    EXPECT_GT(peak, 0.01);
    EXPECT_LT(peak, 4.0);
    // The pitch of the first 0.2 s of the pluck.
    std::vector<double> window(left.begin() + 256, left.begin() + 256 + 8820);
    const double pitch = MeasurePitchHz(window, 44100);
    // Kars's string runs about 1.7 % flat (432.5 Hz for A4, whatever the
    // host); within 3 %, under half a semitone, it is the note played.
    EXPECT_NEAR(pitch, 440.0, 440.0 * 0.03) << "measured " << pitch << " Hz";
}

TEST(VSTRealPlugIns, NoiseThroughALspAndADpfEffectStaysFiniteAndSaneAndIsChanged)
{
    if (!HaveSystemPlugIns())
        GTEST_SKIP() << "the system plug-ins are not installed";
    sequencing_test::CSequencingRig rig{512};
    for (const std::string& path : {kSystemFolder + "/lsp-plugins/compressor-stereo.so", kSystemFolder + "/MVerb-vst.so"}) {
        CVSTAdapterInfo* info = RegisterFile(path, rig.host.get(), *rig.registry);
        ASSERT_NE(info, nullptr);
        CMachine* effect = info->CreateMachine();
        ASSERT_NE(effect, nullptr);
        CAudioBuffer* in = nullptr;
        CAudioBuffer* out = nullptr;
        for (int p = 0; p < effect->portCount; ++p) {
            CPort* port = effect->ports[p];
            if (port->Is(kPortAudio | kPortInput | kPortStereo) && in == nullptr)
                in = port->audio;
            if (port->Is(kPortAudio | kPortOutput | kPortStereo) && out == nullptr)
                out = port->audio;
        }
        ASSERT_TRUE(in != nullptr && out != nullptr) << path;
        std::mt19937 random(7);
        std::uniform_real_distribution<double> noise(-0.5, 0.5);
        double difference = 0.0;
        double inputRms = 0.0;
        double outputRms = 0.0;
        bool finite = true;
        const int blocks = 100;
        for (int block = 0; block < blocks; ++block) {
            for (int s = 0; s < 512; ++s) {
                in->left[s] = noise(random);
                in->right[s] = noise(random);
            }
            std::vector<double> input(in->left, in->left + 512);
            effect->Lock();
            effect->Work();
            effect->Unlock();
            for (int s = 0; s < 512; ++s) {
                finite = finite && std::isfinite(out->left[s]) && std::isfinite(out->right[s]);
                difference += std::fabs(out->left[s] - input[static_cast<std::size_t>(s)]);
            }
            if (block >= blocks / 2) {
                inputRms += Rms(input.data(), 512) / (blocks / 2);
                outputRms += Rms(out->left, 512) / (blocks / 2);
            }
        }
        EXPECT_TRUE(finite) << path;
        EXPECT_GT(difference / (blocks * 512), 1e-3) << path;
        EXPECT_GT(outputRms, inputRms * 0.01) << path;
        EXPECT_LT(outputRms, inputRms * 4.0) << path;
        std::printf("%s: input RMS %.3f, output RMS %.3f\n", path.c_str(), inputRms, outputRms);
        ReleaseMachine(effect);
    }
}

TEST(VSTRealPlugIns, AProjectKeepsTheParametersOfRealPlugIns)
{
    if (!HaveSystemPlugIns())
        GTEST_SKIP() << "the system plug-ins are not installed";
    ScratchFolder scratch;
    const std::vector<std::string> paths = {kSystemFolder + "/3BandEQ-vst.so",
                                            kSystemFolder + "/lsp-plugins/compressor-stereo.so"};
    sequencing_test::CSequencingRig saved{512};
    std::vector<std::vector<double>> values;
    for (const std::string& path : paths) {
        CVSTAdapterInfo* info = RegisterFile(path, saved.host.get(), *saved.registry);
        ASSERT_NE(info, nullptr);
        CMachineContainer* container = AddMachine(saved, info, info->name);
        CMachine* machine = container->machine;
        ASSERT_GT(machine->parameterCount, 3);
        std::vector<double> set;
        // Continuous controls of both (LSP's parameter 0 is its bypass
        // switch, which a chunk stores as on or off).
        for (int i = 1; i < 3; ++i)
            machine->SetParameter(i, 0.2 + 0.15 * i);
        ProcessBlocks(machine, 2);
        for (int i = 0; i < machine->parameterCount; ++i)
            set.push_back(machine->GetParameter(i));
        values.push_back(set);
    }
    const std::string file = scratch / "real.cvx";
    SaveProjectAs(*saved.project, file);

    sequencing_test::CSequencingRig loaded{512};
    for (const std::string& path : paths)
        ASSERT_NE(RegisterFile(path, loaded.host.get(), *loaded.registry), nullptr);
    OpenProject(*loaded.project, file);
    EXPECT_TRUE(loaded.reports.empty());
    ASSERT_EQ(loaded.studio->Containers().size(), 3u);
    // LSP's plug-ins take new settings in at their next processing call.
    for (CMachineContainer* container : loaded.studio->Containers())
        ProcessBlocks(container->machine, 2);
    for (std::size_t m = 0; m < paths.size(); ++m) {
        CMachine* machine = loaded.studio->Containers()[m + 1]->machine;
        ASSERT_EQ(machine->parameterCount, static_cast<int>(values[m].size()));
        for (int i = 0; i < machine->parameterCount; ++i)
            EXPECT_NEAR(machine->GetParameter(i), values[m][static_cast<std::size_t>(i)], 1e-6)
                << paths[m] << " parameter " << i;
    }
}

TEST(VSTRealPlugIns, TheProgramRendersAndPlaysAProjectWithAPlugInSynth)
{
    if (!HaveSystemPlugIns())
        GTEST_SKIP() << "dpf-plugins-vst is not installed";
    ScratchFolder scratch;
    const std::string file = scratch / "kars.cvx";
    {
        sequencing_test::CSequencingRig rig{512};
        CVSTAdapterInfo* kars = RegisterFile(kSystemFolder + "/Kars-vst.so", rig.host.get(), *rig.registry);
        ASSERT_NE(kars, nullptr);
        CMachineContainer* synth = AddMachine(rig, kars, "Kars");
        rig.studio->Connect(FirstConnector(synth, true, true), rig.studio->MasterContainer()->connectors[0]);
        CPattern* pattern = rig.AddPattern(synth->machine, 8);
        pattern->AddNote(0, 16, 69);
        const CSequence& song = rig.sequenceEditor->Sequence();
        rig.sequenceEditor->SetLength(8);
        rig.sequenceEditor->PlaceEntry(song.IndexOfTrack(song.FindTrack(pattern->Target())), 0, pattern);
        SaveProjectAs(*rig.project, file);
    }
    // The program's own start-up finds the plug-in in its VST folder.
    const std::string folder = scratch / "vst";
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(kSystemFolder + "/Kars-vst.so", folder + "/Kars-vst.so");
    const std::vector<std::string> environment = {"VST_PATH=" + folder, "XDG_CACHE_HOME=" + (scratch / "cache"),
                                                  "XDG_CONFIG_HOME=" + (scratch / "config"),
                                                  "CORVANE_VST_SCANNER=" VST_SCANNER, "ASAN_OPTIONS=detect_leaks=0"};
    const std::string wav = scratch / "kars.wav";
    const ProgramResult render = RunProgram({"--render", file, "-o", wav, "--tail", "0.5"}, environment, scratch);
    ASSERT_EQ(render.exitCode, 0) << render.err;
    EXPECT_EQ(render.err.find("could not be loaded"), std::string::npos) << render.err;
    // "Rendered <file>: ... peak <level> dB, ..."
    const std::size_t peakAt = render.err.find("peak ");
    ASSERT_NE(peakAt, std::string::npos) << render.err;
    const double peakDb = std::strtod(render.err.c_str() + peakAt + 5, nullptr);
    EXPECT_GT(peakDb, -30.0) << render.err;
    EXPECT_LT(peakDb, 12.0) << render.err;
    EXPECT_GT(std::filesystem::file_size(wav), 44100u);

    const ProgramResult play = RunProgram({"--play", file, "--driver", "null", "--quiet"}, environment, scratch);
    EXPECT_EQ(play.exitCode, 0) << play.err;
}
