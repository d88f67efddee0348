#include "platform/Directory.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <unistd.h>

#include "TestSupport.h"

using platform::ListDirectory;
using platform_test::ScratchFolder;

namespace {

// Name -> directory flag; the file system's order is not something the
// callers may rely on, so the tests do not either.
std::map<std::string, bool> Listed(const std::string& folder, const std::string& pattern)
{
    std::map<std::string, bool> names;
    for (const auto& entry : ListDirectory(folder, pattern)) {
        EXPECT_EQ(entry.name.find('/'), std::string::npos) << entry.name;
        EXPECT_TRUE(names.emplace(entry.name, entry.isDirectory).second) << "listed twice: " << entry.name;
    }
    return names;
}

} // namespace

TEST(Directory, PatternSelectsLibrariesAndFlagsFolders)
{
    ScratchFolder scratch;
    scratch.WriteFile("alpha.so", "a");
    scratch.WriteFile("beta.so", "b");
    scratch.WriteFile("notes.txt", "c");
    scratch.WriteFile("libgamma.so.1", "versioned, not a plug-in");
    scratch.WriteFile("so", "no dot");
    scratch.MakeFolder("folder.so");
    scratch.MakeFolder("plain");
    scratch.WriteFile("plain/inner.so", "not listed: one level only");

    const auto libraries = Listed(scratch.Path(), "*.so");
    const std::map<std::string, bool> expected{{"alpha.so", false}, {"beta.so", false}, {"folder.so", true}};
    EXPECT_EQ(libraries, expected);

    const auto everything = Listed(scratch.Path(), "*");
    const std::map<std::string, bool> all{
        {".", true},           {"..", true},          {"alpha.so", false}, {"beta.so", false},
        {"notes.txt", false},  {"libgamma.so.1", false}, {"so", false},   {"folder.so", true},
        {"plain", true},
    };
    EXPECT_EQ(everything, all);
}

TEST(Directory, LinksAreFlaggedByWhatTheyPointAt)
{
    ScratchFolder scratch;
    const std::string target = scratch.MakeFolder("real");
    const std::string file = scratch.WriteFile("real.so", "x");
    ASSERT_EQ(symlink(target.c_str(), (scratch.Path() + "/linked-folder.so").c_str()), 0);
    ASSERT_EQ(symlink(file.c_str(), (scratch.Path() + "/linked-file.so").c_str()), 0);
    ASSERT_EQ(symlink((scratch.Path() + "/missing").c_str(), (scratch.Path() + "/dangling.so").c_str()), 0);

    const auto listed = Listed(scratch.Path(), "*.so");
    const std::map<std::string, bool> expected{
        {"real.so", false}, {"linked-folder.so", true}, {"linked-file.so", false}, {"dangling.so", false}};
    EXPECT_EQ(listed, expected);
}

TEST(Directory, MissingEmptyOrNonFolderGivesNoEntries)
{
    ScratchFolder scratch;
    EXPECT_TRUE(ListDirectory(scratch.Path() + "/absent", "*").empty());
    const std::string file = scratch.WriteFile("file.so", "x");
    EXPECT_TRUE(ListDirectory(file, "*").empty());
    EXPECT_TRUE(ListDirectory(scratch.Path(), "*.dll").empty());
    // Trailing separator on the folder changes nothing.
    EXPECT_EQ(Listed(scratch.Path() + "/", "*.so"), (std::map<std::string, bool>{{"file.so", false}}));
}

TEST(Directory, PathPieces)
{
    using platform::FileNameOf;
    using platform::FolderOf;
    using platform::JoinPath;

    EXPECT_EQ(JoinPath("/usr/lib/vst", "plugin.so"), "/usr/lib/vst/plugin.so");
    EXPECT_EQ(JoinPath("/usr/lib/vst/", "plugin.so"), "/usr/lib/vst/plugin.so");
    EXPECT_EQ(JoinPath("/", "etc"), "/etc");
    EXPECT_EQ(JoinPath("", "plugin.so"), "plugin.so");
    EXPECT_EQ(JoinPath("relative", "x"), "relative/x");

    EXPECT_EQ(FileNameOf("/usr/lib/vst/plugin.so"), "plugin.so");
    EXPECT_EQ(FileNameOf("plugin.so"), "plugin.so");
    EXPECT_EQ(FileNameOf("/plugin.so"), "plugin.so");
    EXPECT_EQ(FileNameOf("folder/"), "");
    EXPECT_EQ(FileNameOf(""), "");

    EXPECT_EQ(FolderOf("/usr/lib/vst/plugin.so"), "/usr/lib/vst");
    EXPECT_EQ(FolderOf("/plugin.so"), "/");
    EXPECT_EQ(FolderOf("plugin.so"), ".");
    EXPECT_EQ(FolderOf("a/b"), "a");
    EXPECT_EQ(FolderOf(""), ".");

    // The pieces put back together give the path.
    for (const std::string path : {"/usr/lib/vst/plugin.so", "a/b/c", "/x"})
        EXPECT_EQ(JoinPath(FolderOf(path), FileNameOf(path)), path);
}
