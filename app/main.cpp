// corvane: the Corvane Studio program.

#include <CLI/CLI.hpp>
#include <cstdio>

#include "app/Version.h"

int main(int argc, char** argv)
{
    CLI::App app{"Corvane Studio: a modular music production studio", "corvane"};
    app.set_version_flag("--version", std::string("Corvane Studio ") + kCorvaneVersion);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error);
    }
    std::printf("Corvane Studio %s: the studio cannot play yet; try --version.\n", kCorvaneVersion);
    return 0;
}
