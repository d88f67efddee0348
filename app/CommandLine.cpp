#include "app/CommandLine.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <string>

#include "app/Application.h"
#include "app/MachineListing.h"
#include "framework/Error.h"

namespace {

constexpr int kExitError = 1;

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

int ListMachines(bool quiet)
{
    CApplication application;
    application.Init(HeadlessSettings(quiet));
    PrintMachineList(application.Registry(), stdout);
    return 0;
}

} // namespace

int RunCommandLine(int argc, char** argv)
{
    CLI::App app{"Corvane Studio: a modular music production studio", "corvane"};
    app.set_version_flag("--version", "Corvane Studio\n" + CApplication::AboutText());
    bool listMachines = false;
    bool quiet = false;
    app.add_flag("--list-machines", listMachines,
                 "List every machine type: name, identifier and the library it came from");
    app.add_flag("-q,--quiet", quiet, "Do not print start-up status lines");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error);
    }

    try {
        if (listMachines)
            return ListMachines(quiet);
    } catch (const CError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return kExitError;
    }
    std::printf("%s", app.help().c_str());
    return 0;
}
