#include "platform/Paths.h"

#include <climits>
#include <cstdlib>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include "TestSupport.h"

using platform_test::ScopedEnvironment;

namespace {
std::string RealPath(const char* path)
{
    char resolved[PATH_MAX];
    return realpath(path, resolved) != nullptr ? std::string(resolved) : std::string();
}
int LocalFunction()
{
    return 1;
}
} // namespace

TEST(Paths, ExecutablePathIsThisTestProgram)
{
    const std::string path = platform::ExecutablePath();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.front(), '/');
    EXPECT_EQ(path, RealPath("/proc/self/exe"));
    EXPECT_EQ(access(path.c_str(), X_OK), 0);
}

TEST(Paths, ModulePathOfCodeInTheProgramIsTheProgram)
{
    EXPECT_EQ(platform::ModulePathOf(reinterpret_cast<const void*>(&LocalFunction)), platform::ExecutablePath());
    // Code of a shared library the program uses: the library, not the program.
    const std::string libc = platform::ModulePathOf(reinterpret_cast<const void*>(&getpid));
    EXPECT_FALSE(libc.empty());
    EXPECT_NE(libc, platform::ExecutablePath());
    EXPECT_EQ(libc.front(), '/');
    // Memory that belongs to no module.
    int onTheStack = 0;
    EXPECT_EQ(platform::ModulePathOf(&onTheStack), "");
    EXPECT_EQ(platform::ModulePathOf(nullptr), "");
}

TEST(Paths, UserConfigFolderPrefersAnAbsoluteXdgConfigHome)
{
    ScopedEnvironment home("HOME", "/home/someone");
    {
        ScopedEnvironment xdg("XDG_CONFIG_HOME", "/srv/config");
        EXPECT_EQ(platform::UserConfigFolder(), "/srv/config");
    }
    // A relative value is not a usable base and is ignored, as is an empty one.
    for (const char* ignored : {"relative/config", "", "~/.config"}) {
        SCOPED_TRACE(ignored);
        ScopedEnvironment xdg("XDG_CONFIG_HOME", std::string(ignored));
        EXPECT_EQ(platform::UserConfigFolder(), "/home/someone/.config");
    }
    ScopedEnvironment xdg("XDG_CONFIG_HOME", std::nullopt);
    EXPECT_EQ(platform::UserConfigFolder(), "/home/someone/.config");
}

TEST(Paths, UserConfigFolderUnderHome)
{
    ScopedEnvironment xdg("XDG_CONFIG_HOME", std::nullopt);
    {
        ScopedEnvironment home("HOME", "/home/someone/");
        EXPECT_EQ(platform::UserConfigFolder(), "/home/someone/.config");
    }
    {
        ScopedEnvironment home("HOME", "/");
        EXPECT_EQ(platform::UserConfigFolder(), "/.config");
    }
    // Without HOME the account's home folder stands in.
    const passwd* account = getpwuid(getuid());
    if (account == nullptr || account->pw_dir == nullptr || account->pw_dir[0] == '\0')
        GTEST_SKIP() << "this account has no home folder in the password database";
    std::string expected = account->pw_dir;
    if (expected.back() != '/')
        expected += '/';
    expected += ".config";
    {
        ScopedEnvironment home("HOME", std::nullopt);
        EXPECT_EQ(platform::UserConfigFolder(), expected);
    }
    {
        ScopedEnvironment home("HOME", "");
        EXPECT_EQ(platform::UserConfigFolder(), expected);
    }
}
