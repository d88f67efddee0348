// The folders' layering, read from the #include lines of every source file:
// a folder includes only folders below it, so the tree can be read (and
// built) from the bottom up. The stock library is a plug-in: it sees the
// framework, the platform and the GUI toolkit and nothing of the program that
// loads it, and nothing outside it includes it.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Lower ranks sit below higher ones; folders of one rank do not include
// each other. A subfolder not listed belongs to its parent (platform/audio
// is platform); an entry may also name one class's file pair
// (app/Application is app/Application.h and app/Application.cpp).
const std::map<std::string, int> kRank = {
    {"platform", 0},
    {"framework", 1},
    {"gui", 2},
    {"samples", 2},
    {"samples/gui", 3},   // the bank explorer and sample analyzer windows
    {"host", 3},          // the engine, its registry and the peak meter it feeds
    {"drivers", 4},
    {"machines", 4},      // built-in machines and their registration
    {"plugins", 4},
    {"sequencing", 4},
    {"project", 5},
    // The application object and the project commands sit below the windows
    // that call them; the program's entry and command line sit above.
    {"app/DriverManager", 6},
    {"app/GraphicsThread", 6},
    {"app/Application", 7},
    {"app/StudioCommands", 8},
    {"editors", 9},
    {"app", 10},

    {"stockpack/dsp", 2},
    {"stockpack/common", 3},
    {"stockpack/davarorodir", 4},
    {"stockpack/dovodorez", 4},
    {"stockpack/drumkit", 4},
    {"stockpack/mixer", 4},
    {"stockpack/razuzuri", 4},
    {"stockpack/redoruviz", 4},
    {"stockpack/zazud", 4},
    {"stockpack", 5},     // the library's entry point
};

// What the stock library may use from outside itself.
const std::set<std::string> kStockLibraryReaches = {"platform", "framework", "gui"};

// Folders of the source tree that are not part of the program.
const std::set<std::string> kNotProgram = {"tests", "bench", "tools", "cmake", "examples", "docs", "resources"};

bool IsSource(const fs::path& file)
{
    const std::string extension = file.extension().string();
    return extension == ".h" || extension == ".cpp" || extension == ".in";
}

bool InStockLibrary(const std::string& unit)
{
    return unit == "stockpack" || unit.starts_with("stockpack/");
}

/// The listed folder a path (relative to the source tree) belongs to: the
/// longest listed prefix; empty when none is listed.
std::string UnitOf(const std::string& path)
{
    std::string best;
    for (const auto& [unit, rank] : kRank)
        if ((path.starts_with(unit + "/") || path.starts_with(unit + ".")) && unit.size() > best.size())
            best = unit;
    return best;
}

struct Include {
    std::string file;   // relative to the source tree
    int line;
    std::string target;
};

std::vector<Include> ReadIncludes()
{
    static const std::regex kIncludeLine(R"re(^\s*#\s*include\s*"([^"]+)")re");
    const fs::path root = CORVANE_SOURCE_DIR;
    std::vector<Include> includes;
    for (const auto& top : fs::directory_iterator(root)) {
        const std::string name = top.path().filename().string();
        if (!top.is_directory() || name.starts_with(".") || name.starts_with("build") || kNotProgram.contains(name))
            continue;
        for (const auto& entry : fs::recursive_directory_iterator(top.path())) {
            if (!entry.is_regular_file() || !IsSource(entry.path()))
                continue;
            const std::string file = fs::relative(entry.path(), root).generic_string();
            std::ifstream in(entry.path());
            std::string text;
            std::smatch match;
            for (int line = 1; std::getline(in, text); ++line)
                if (std::regex_search(text, match, kIncludeLine))
                    includes.push_back({file, line, match[1].str()});
        }
    }
    return includes;
}

/// Why file's unit may not include target's unit; empty when it may.
std::string Violation(const std::string& from, const std::string& to)
{
    if (from.empty())
        return {};   // placed by EverySourceFolderHasAPlace
    if (to.empty())
        return "includes a folder outside the program's layering";
    if (from == to)
        return {};
    if (InStockLibrary(to) && !InStockLibrary(from))
        return "includes the stock plug-in library, which is loaded, never linked";
    if (InStockLibrary(from) && !InStockLibrary(to) && !kStockLibraryReaches.contains(to))
        return "the stock library includes " + to + ", which a plug-in never sees";
    if (kRank.at(to) >= kRank.at(from))
        return "includes " + to + ", which is not below " + from;
    return {};
}

}  // namespace

TEST(IncludeLayering, ReadsTheIncludesOfEverySourceFolder)
{
    const auto includes = ReadIncludes();
    std::set<std::string> units;
    for (const auto& include : includes)
        units.insert(UnitOf(include.file));
    for (const char* folder : {"platform", "framework", "host", "stockpack/dsp", "stockpack/razuzuri", "app"})
        EXPECT_TRUE(units.contains(folder)) << folder;
    const bool seen = std::any_of(includes.begin(), includes.end(), [](const Include& include) {
        return include.file == "host/StudioRender.cpp" && include.target == "host/PeakMeter.h";
    });
    EXPECT_TRUE(seen);
}

TEST(IncludeLayering, EverySourceFolderHasAPlace)
{
    const fs::path root = CORVANE_SOURCE_DIR;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string path = fs::relative(entry.path(), root).generic_string();
        const std::string top = path.substr(0, path.find('/'));
        if (top.starts_with(".") || top.starts_with("build") || kNotProgram.contains(top))
            continue;
        if (entry.is_regular_file() && IsSource(entry.path()))
            EXPECT_FALSE(UnitOf(path).empty()) << path << " lies in a folder the layering does not place";
        // Each stock machine has a folder of its own, placed beside the others.
        if (entry.is_directory() && path.starts_with("stockpack/") && path.find('/', 10) == std::string::npos)
            EXPECT_TRUE(kRank.contains(path)) << path;
    }
}

TEST(IncludeLayering, NoFolderIncludesAFolderAboveIt)
{
    for (const auto& include : ReadIncludes()) {
        // Project headers are named from the top of the tree; anything else
        // (a generated header in the build folder) is named the same way.
        if (include.target.find('/') == std::string::npos)
            continue;
        const std::string from = UnitOf(include.file);
        const std::string to = UnitOf(include.target);
        const std::string why = Violation(from, to);
        EXPECT_TRUE(why.empty()) << include.file << ":" << include.line << " (\"" << include.target << "\") " << why;
    }
}
