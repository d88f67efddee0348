#pragma once
// Loading shared libraries at run time: the host loads its plug-in libraries
// and VST plug-ins through these.

#include <string>

namespace platform {

using LibraryHandle = void*;

/// Null when the library cannot be loaded; LastLibraryError() says why.
LibraryHandle OpenLibrary(const char* path) noexcept;
/// Null when the library has no such symbol.
void* FindSymbol(LibraryHandle library, const char* name) noexcept;
void CloseLibrary(LibraryHandle library) noexcept;
/// The loader's text for the last failure of this thread, or "".
std::string LastLibraryError();

} // namespace platform
