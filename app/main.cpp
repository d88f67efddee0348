// corvane: the Corvane Studio program. With no option it opens the studio's
// windows (on a display); every command-line option works without one.

#include <cstdio>

#include "app/CommandLine.h"
#include "app/StudioProgram.h"

int main(int argc, char** argv)
{
    if (IsStudioCommandLine(argc, argv)) {
        if (HasDisplay()) {
            const std::string problem = DisplayProblem();
            if (problem.empty())
                return RunStudio(argc, argv);
            std::fprintf(stderr, "corvane: %s; the command line (corvane --help) works without one.\n",
                         problem.c_str());
            return 1;
        }
        std::fprintf(stderr, "corvane: no display to open the studio on (DISPLAY and WAYLAND_DISPLAY are unset); "
                             "the command line below works without one.\n");
        if (argc > 1)
            return 1;
    }
    return RunCommandLine(argc, argv);
}
