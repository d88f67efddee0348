#pragma once
// The command line of corvane: parsing and dispatch to the commands. Errors
// print the system's own message on standard error and return 1; usage
// errors return 2.

int RunCommandLine(int argc, char** argv);
