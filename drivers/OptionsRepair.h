#pragma once
// The options file is read without a message, and the drivers then trust
// what it holds. A value no consumer can use (a null driver format without
// a format bit, a negative device index) would stop every start-up, so each
// value is checked against what the drivers and the options window accept
// before they are created; an unusable one goes back to its default and is
// reported once. User-interface thread, before the drivers exist.

#include <cstdint>
#include <string>
#include <vector>

class CAppOptions;

struct OptionRepair {
    std::string field;       // "Null Format", as the user knows it
    std::int32_t stored = 0;
    std::int32_t used = 0;
};

/// Replaces every unusable value by its default; what was replaced.
std::vector<OptionRepair> RepairOptions(CAppOptions& options);

/// "Options File '<path>': Null Format 0 Is Not Usable, 2048 Used Instead".
std::string DescribeOptionRepair(const std::string& path, const OptionRepair& repair);
