// corvane: the Corvane Studio program.

#include <CLI/CLI.hpp>
#include <cstdio>

#include "app/MachineListing.h"
#include "app/Version.h"
#include "framework/Error.h"
#include "host/BuiltinMachines.h"
#include "host/CorvHost.h"
#include "host/MachineRegistry.h"
#include "platform/SystemInfo.h"
#include "plugins/MachineLibraryLoader.h"

namespace {

// Until the output drivers exist, the host starts with the null driver's
// default format.
constexpr int kDefaultBlockSize = 512;
constexpr int kDefaultSampleRate = 44100;

void StatusToStandardError(const std::string& line)
{
    std::fprintf(stderr, "%s\n", line.c_str());
}

int ListMachines(bool quiet)
{
    CCorvHost host(kDefaultBlockSize, kDefaultSampleRate, platform::ProbeCpuFeatures());
    CMachineRegistry registry;
    host.SetRegistry(&registry);
    RegisterBuiltinMachines(host, registry);
    LoadMachineLibraries(DefaultPlugInFolder(), host, registry, quiet ? StatusCallback{} : StatusToStandardError);
    PrintMachineList(registry, stdout);
    host.SetRegistry(nullptr);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    CLI::App app{"Corvane Studio: a modular music production studio", "corvane"};
    app.set_version_flag("--version", std::string("Corvane Studio ") + kCorvaneVersion);
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
        std::fprintf(stderr, "Corvane: %s\n", error.what());
        return 1;
    }
    std::printf("Corvane Studio %s: the studio cannot play yet; see --help.\n", kCorvaneVersion);
    return 0;
}
