// corvane: the Corvane Studio program. Everything here works without a
// display; the studio's windows come on top of the same start-up sequence.

#include "app/CommandLine.h"

int main(int argc, char** argv)
{
    return RunCommandLine(argc, argv);
}
