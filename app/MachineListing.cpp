#include "app/MachineListing.h"

#include "host/MachineRegistry.h"

void PrintMachineList(const CMachineRegistry& registry, std::FILE* out)
{
    for (const auto& entry : registry) {
        const char* name = entry->descriptor->name != nullptr ? entry->descriptor->name : "";
        const char* identifier = entry->descriptor->identifier != nullptr ? entry->descriptor->identifier : "";
        const char* origin = entry->library.empty() ? "built-in" : entry->library.c_str();
        std::fprintf(out, "%s\t%s\t%s\n", name, identifier, origin);
    }
}
