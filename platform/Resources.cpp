#include "platform/Resources.h"

#include <cstring>

// A module without resources still links: this empty table stands in until
// the module's own generated table replaces it.
__attribute__((weak, visibility("hidden"))) const platform::ResourceEntry* CorvaneModuleResources()
{
    static const platform::ResourceEntry empty[] = {{nullptr, 0, nullptr, 0}};
    return empty;
}

namespace platform {

ResourceView FindResource(const char* type, int id) noexcept
{
    for (const ResourceEntry* entry = CorvaneModuleResources(); entry->type != nullptr; ++entry) {
        if (entry->id == id && std::strcmp(entry->type, type) == 0)
            return {entry->data, entry->size};
    }
    return {};
}

} // namespace platform
