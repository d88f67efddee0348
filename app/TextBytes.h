#pragma once
// Names in a project are bytes: whatever the program that wrote them stored
// in their 1024-byte fields. JSON text must be UTF-8, so a name that is not
// is shown with its bad sequences replaced, and its exact bytes are kept
// beside it in an escaped form that JSON can carry.

#include <string>
#include <string_view>

/// Whether text is well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(std::string_view text);

/// Printable ASCII as it is, a backslash as "\\", every other byte as
/// "\xHH": ASCII only, and the bytes can be read back exactly.
std::string EscapedBytes(std::string_view text);
