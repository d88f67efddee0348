#pragma once
// `corvane --list-machines`: every registered machine type in registry
// order, one per line: name, identifier and where it came from, separated by
// tabs.

#include <cstdio>

class CMachineRegistry;

void PrintMachineList(const CMachineRegistry& registry, std::FILE* out);
