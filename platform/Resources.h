#pragma once
// Each module (the host program, every plug-in library) carries its own table
// of resources, compiled in by the build from files of the source tree. A
// lookup from code of a module finds that module's resources only.

#include <cstddef>

namespace platform {

struct ResourceEntry {
    const char* type;            // "PNG", "BINARY", ...; null ends the table
    int id;
    const unsigned char* data;
    std::size_t size;
};

struct ResourceView {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    explicit operator bool() const noexcept { return data != nullptr; }
};

/// The resource of the calling module with this type and id, or an empty
/// view.
ResourceView FindResource(const char* type, int id) noexcept;

} // namespace platform

/// Defined by the module's generated resource table (hidden, one per module).
const platform::ResourceEntry* CorvaneModuleResources();
