#include "app/MachineListing.h"

#include "host/MachineRegistry.h"

#include <string>

void PrintMachineList(const CMachineRegistry& registry, std::FILE* out)
{
    for (const auto& entry : registry) {
        const char* name = entry->descriptor->name != nullptr ? entry->descriptor->name : "";
        const char* identifier = entry->descriptor->identifier != nullptr ? entry->descriptor->identifier : "";
        const char* origin = entry->library.empty() ? "built-in" : entry->library.c_str();
        // VST identifiers end in byte values 1 to 15; they are shown as
        // escapes so that each type stays one line of three columns.
        std::string shown;
        for (const char* c = identifier; *c != '\0'; ++c) {
            if (static_cast<unsigned char>(*c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(*c));
                shown += escaped;
            } else {
                shown += *c;
            }
        }
        std::fprintf(out, "%s\t%s\t%s\n", name, shown.c_str(), origin);
    }
}
