#include "app/CommandLine.h"

#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/DriverManager.h"
#include "drivers/DriverProbe.h"
#include "drivers/OptionsRepair.h"
#include "host/AppOptions.h"
#include "app/BankInfoCommand.h"
#include "app/InfoCommand.h"
#include "app/MachineListing.h"
#include "app/PlayCommand.h"
#include "app/RenderCommand.h"
#include "framework/Error.h"
#include "project/Project.h"
#include "plugins/vst/VSTCommands.h"
#include "project/ProjectCommands.h"

namespace {

constexpr int kExitError = 1;
constexpr int kExitUsage = 2;

void StatusToStandardError(const std::string& line)
{
    std::fprintf(stderr, "%s\n", line.c_str());
}

/// Start-up as the studio does it, without audio: options are read but not
/// written back, so inspecting never changes the user's settings.
CApplication::Settings HeadlessSettings(bool quiet)
{
    CApplication::Settings settings;
    settings.saveOptions = false;
    settings.startAudio = false;
    if (!quiet)
        settings.status = StatusToStandardError;
    return settings;
}

/// Each options value the drivers could not use was put back to its
/// default; the user hears of it once, as the repaired file is written back
/// when the command ends cleanly (only those values change in it).
class COptionsRepairs {
public:
    void Report(const std::string& path, const std::vector<OptionRepair>& repairs)
    {
        for (const OptionRepair& repair : repairs)
            std::fprintf(stderr, "%s\n", DescribeOptionRepair(path, repair).c_str());
        if (!repairs.empty())
            repairedPath = path;
    }
    void WriteBack() const
    {
        if (repairedPath.empty())
            return;
        CAppOptions stored(repairedPath);
        stored.DisableSaveOnExit();
        RepairOptions(stored);
        stored.SaveOrSay();
    }

private:
    std::string repairedPath;
};

COptionsRepairs optionsRepairs;

void ReportOptionRepairs(CApplication& application)
{
    optionsRepairs.Report(application.Options().Path(), application.Drivers().OptionRepairs());
}

/// Messages that do not stop the command (a machine type that is missing)
/// are printed and remembered.
void CollectWarnings(CApplication& application, std::vector<std::string>& warnings, bool print)
{
    application.Project().reporter = [&warnings, print](const std::string& message) {
        warnings.push_back(message);
        if (print)
            std::fprintf(stderr, "%s\n", message.c_str());
    };
}

int ListMachines(bool quiet)
{
    CApplication application;
    application.Init(HeadlessSettings(quiet));
    ReportOptionRepairs(application);
    PrintMachineList(application.Registry(), stdout);
    return 0;
}

int ListDrivers()
{
    CAppOptions options(CAppOptions::DefaultPath());
    options.DisableSaveOnExit();
    optionsRepairs.Report(options.Path(), RepairOptions(options));
    std::fputs(FormatDriverList(ProbeDrivers(options)).c_str(), stdout);
    return 0;
}

int Info(const std::string& path, bool quiet)
{
    CApplication application;
    application.Init(HeadlessSettings(true));
    ReportOptionRepairs(application);
    std::vector<std::string> warnings;
    CollectWarnings(application, warnings, !quiet);
    OpenProject(application.Project(), path);
    std::fputs(ProjectInfoJson(application, warnings).c_str(), stdout);
    return 0;
}

int Render(RenderRequest request)
{
    CApplication application;
    application.Init(HeadlessSettings(true));
    ReportOptionRepairs(application);
    std::vector<std::string> warnings;
    CollectWarnings(application, warnings, true);
    const RenderSummary summary = RenderProject(application, request);
    if (!request.quiet) {
        std::string clipping;
        if (summary.clippedSamples > 0) {
            // 16-bit samples are cut at full scale; float samples keep their
            // value, and clip only where they are played or converted.
            clipping = ", " + std::to_string(summary.clippedSamples) +
                       (request.floatFormat ? " samples beyond full scale" : " samples clipped");
        }
        std::fprintf(stderr, "Rendered %s: %.3f s (%lld frames), peak %.2f dB%s, %.1fx real time\n",
                     request.outputPath.c_str(), summary.seconds, summary.frames, summary.peakDb, clipping.c_str(),
                     summary.speed);
    }
    if (summary.silent) {
        // Said even with --quiet: a silent file is rarely what was asked for.
        if (!warnings.empty())
            std::fprintf(stderr, "The render is silent: %zu machine%s of the project could not be loaded\n",
                         warnings.size(), warnings.size() == 1 ? "" : "s");
        else if (!request.quiet)
            std::fprintf(stderr, "The render is silent\n");
    }
    return 0;
}

int Play(const std::string& path, const std::string& driver, bool quiet)
{
    CApplication application;
    CApplication::Settings settings = HeadlessSettings(quiet);
    application.Init(settings);
    ReportOptionRepairs(application);
    std::vector<std::string> warnings;
    CollectWarnings(application, warnings, true);
    OpenProject(application.Project(), path);
    return PlaySong(application, DriverIndexFromName(driver), quiet);
}

} // namespace

int RunCommandLine(int argc, char** argv)
{
    CLI::App app{"Corvane Studio: a modular music production studio", "corvane"};
    app.set_version_flag("--version", "Corvane Studio\n" + CApplication::AboutText());

    bool listMachines = false;
    bool quiet = false;
    std::string infoPath;
    std::string playPath;
    std::string driverName = "null";
    RenderRequest render;
    std::string format = "float";

    auto* listOption = app.add_flag("--list-machines", listMachines,
                                    "List every machine type: name, identifier and the library it came from");
    bool listDrivers = false;
    auto* driversOption = app.add_flag("--list-drivers", listDrivers,
                                       "List the output drivers: availability, devices, rates, buffer size, channels");
    auto* infoOption = app.add_option("--info", infoPath, "Print the project as JSON")->type_name("PROJECT");
    auto* renderOption =
        app.add_option("--render", render.projectPath, "Render the song to a WAV file")->type_name("PROJECT");
    auto* playOption = app.add_option("--play", playPath, "Play the song in real time")->type_name("PROJECT");
    std::string bankPath;
    auto* bankOption =
        app.add_option("--bank-info", bankPath, "Print a SoundFont bank as JSON")->type_name("FILE.sf2");
    bankOption->excludes(listOption)->excludes(driversOption)->excludes(infoOption)->excludes(renderOption)
        ->excludes(playOption);

    // One command at a time.
    listOption->excludes(infoOption)->excludes(renderOption)->excludes(playOption)->excludes(driversOption);
    driversOption->excludes(infoOption)->excludes(renderOption)->excludes(playOption);
    infoOption->excludes(renderOption)->excludes(playOption);
    renderOption->excludes(playOption);

    bool listVstCache = false;
    bool rescanVst = false;
    auto* vstCacheOption = app.add_flag("--list-vst-cache", listVstCache,
                                        "List the VST scan cache: each plug-in file, usable or why not");
    auto* rescanOption = app.add_flag("--rescan-vst", rescanVst,
                                      "Examine every VST plug-in file again and list the cache");
    vstCacheOption->excludes(rescanOption)->excludes(listOption)->excludes(infoOption)->excludes(renderOption)
        ->excludes(playOption)->excludes(driversOption);
    rescanOption->excludes(listOption)->excludes(infoOption)->excludes(renderOption)->excludes(playOption)
        ->excludes(driversOption);

    app.add_flag("-q,--quiet", quiet, "No status lines, progress or summary");
    app.add_option("-o,--output", render.outputPath, "The WAV file --render writes")->needs(renderOption);
    app.add_option("--format", format, "float (32-bit, the default) or pcm16")
        ->check(CLI::IsMember({"float", "pcm16"}))
        ->needs(renderOption);
    app.add_option("--rate", render.sampleRate, "Sample rate of the render in Hz")
        ->check(CLI::Range(8000, 192000))
        ->needs(renderOption);
    app.add_option("--block", render.blockSize, "Block size of the render in samples")
        ->check(CLI::Range(16, 8192))
        ->needs(renderOption);
    // NaN passes a range check (every comparison with it is false).
    const CLI::Validator finite(
        [](const std::string& text) {
            try {
                return std::isfinite(std::stod(text)) ? std::string() : "not a finite number: " + text;
            } catch (const std::exception&) {
                return "not a number: " + text;
            }
        },
        "FINITE");
    app.add_option("--tail", render.tailSeconds, "Seconds rendered after the song ends")
        ->check(finite)
        ->check(CLI::Range(0.0, 600.0))
        ->needs(renderOption);
    app.add_option("--driver", driverName, "null, alsa (Wave Out) or jack (ASIO)")
        ->transform(CLI::IsMember(DriverNames(), CLI::ignore_case, CLI::ignore_space))
        ->needs(playOption);

    try {
        app.parse(argc, argv);
        if (!render.projectPath.empty() && render.outputPath.empty())
            throw CLI::RequiredError("--output");
    } catch (const CLI::ParseError& error) {
        // --help and --version end here too, with 0; every usage error is 2.
        return app.exit(error) == 0 ? 0 : kExitUsage;
    }

    try {
        int result = -1;
        if (listMachines)
            result = ListMachines(quiet);
        else if (listDrivers)
            result = ListDrivers();
        else if (listVstCache)
            result = ListVstCache(stdout);
        else if (rescanVst)
            result = RescanVstPlugins(quiet, stdout);
        else if (!infoPath.empty())
            result = Info(infoPath, quiet);
        else if (!bankPath.empty()) {
            std::fputs(BankInfoJson(bankPath).c_str(), stdout);
            result = 0;
        } else if (!render.projectPath.empty()) {
            render.floatFormat = format == "float";
            render.quiet = quiet;
            result = Render(render);
        } else if (!playPath.empty())
            result = Play(playPath, driverName, quiet);
        if (result >= 0) {
            if (result == 0)
                optionsRepairs.WriteBack();
            return result;
        }
    } catch (const CError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return kExitError;
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "Out Of Memory\n");
        return kExitError;
    } catch (const std::exception& error) {
        // Nothing the program meets should end here; if it does, the user
        // still gets one line and an error code rather than an abort.
        std::fprintf(stderr, "Unexpected Error: %s\n", error.what());
        return kExitError;
    }
    std::printf("%s", app.help().c_str());
    return 0;
}
