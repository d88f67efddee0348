#include "platform/DynamicLibrary.h"

#include <climits>
#include <cstdlib>
#include <gtest/gtest.h>
#include <thread>

#include "platform/Paths.h"
#include "TestSupport.h"

using platform::CloseLibrary;
using platform::FindSymbol;
using platform::LastLibraryError;
using platform::OpenLibrary;

namespace {
using AnswerFunction = int (*)(int);
constexpr const char* kModulePath = CORVANE_TEST_MODULE_PATH;

std::string RealPath(const std::string& path)
{
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : std::string();
}
} // namespace

TEST(DynamicLibrary, OpensAModuleFindsItsEntryAndCallsIt)
{
    platform::LibraryHandle library = OpenLibrary(kModulePath);
    ASSERT_NE(library, nullptr) << LastLibraryError();

    auto answer = reinterpret_cast<AnswerFunction>(FindSymbol(library, "CorvaneTestModuleAnswer"));
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(4), 13);
    EXPECT_EQ(answer(-1), -2);

    EXPECT_EQ(FindSymbol(library, "CorvaneTestModuleMissing"), nullptr);
    EXPECT_EQ(FindSymbol(library, ""), nullptr);
    // A C++ name is mangled in the library: plug-in entries must be extern "C".
    EXPECT_EQ(FindSymbol(library, "CorvaneTestModuleAnswer(int)"), nullptr);

    // The module knows where it was loaded from, as a plug-in that finds its
    // own files beside itself does.
    EXPECT_EQ(platform::ModulePathOf(reinterpret_cast<const void*>(answer)), RealPath(kModulePath));
    EXPECT_NE(platform::ModulePathOf(reinterpret_cast<const void*>(answer)), platform::ExecutablePath());

    CloseLibrary(library);
}

TEST(DynamicLibrary, OpeningTwiceGivesAWorkingHandleEachTime)
{
    platform::LibraryHandle first = OpenLibrary(kModulePath);
    platform::LibraryHandle second = OpenLibrary(kModulePath);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    // The loader counts references: closing one leaves the other usable.
    CloseLibrary(first);
    auto answer = reinterpret_cast<AnswerFunction>(FindSymbol(second, "CorvaneTestModuleAnswer"));
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(0), 1);
    CloseLibrary(second);
}

TEST(DynamicLibrary, FilesThatAreNotLibrariesFailWithTheLoadersReason)
{
    platform_test::ScratchFolder scratch;
    const std::string text = scratch.WriteFile("NotAPlugin.so", "this is a text file, not a shared library\n");
    const std::string empty = scratch.WriteFile("Empty.so", "");

    for (const std::string& path : {text, empty, scratch.Path() + "/Absent.so", scratch.Path()}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(OpenLibrary(path.c_str()), nullptr);
        const std::string reason = LastLibraryError();
        EXPECT_FALSE(reason.empty());
    }
    // The reason names what failed, so a user can tell which plug-in it was.
    EXPECT_EQ(OpenLibrary(text.c_str()), nullptr);
    EXPECT_NE(LastLibraryError().find("NotAPlugin.so"), std::string::npos) << LastLibraryError();

    // The reason is the failing thread's own.
    std::string elsewhere = "unset";
    std::thread([&] { elsewhere = LastLibraryError(); }).join();
    EXPECT_EQ(elsewhere, "");
}

TEST(DynamicLibrary, NullHandlesAreHarmless)
{
    EXPECT_EQ(FindSymbol(nullptr, "CorvaneTestModuleAnswer"), nullptr);
    CloseLibrary(nullptr);
}
