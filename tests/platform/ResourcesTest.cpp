#include "platform/Resources.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

#include "platform/DynamicLibrary.h"

using platform::FindResource;

namespace {
std::vector<unsigned char> ReadDataFile(const std::string& name)
{
    std::ifstream in(std::string(CORVANE_TEST_DATA_DIR) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in.good()) << name;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
std::vector<unsigned char> Bytes(const platform::ResourceView& view)
{
    return {view.data, view.data + view.size};
}
} // namespace

TEST(Resources, FindsExactlyTheEmbeddedBytes)
{
    const std::vector<unsigned char> file = ReadDataFile("table.bin");
    ASSERT_FALSE(file.empty());

    const platform::ResourceView view = FindResource("BINARY", 149);
    ASSERT_TRUE(view);
    EXPECT_EQ(view.size, file.size());
    EXPECT_EQ(Bytes(view), file);
    // The same entry every time, not a copy.
    EXPECT_EQ(FindResource("BINARY", 149).data, view.data);
}

TEST(Resources, AnEmptyFileIsAResourceWithNoBytes)
{
    const platform::ResourceView view = FindResource("PNG", 7);
    EXPECT_TRUE(view);
    EXPECT_EQ(view.size, 0u);
}

TEST(Resources, MissingIdOrTypeGivesAnEmptyView)
{
    for (const auto& [type, id] : std::vector<std::pair<const char*, int>>{
             {"BINARY", 150}, {"BINARY", 0}, {"BINARY", -149}, {"PNG", 149}, {"BIN", 149},
             {"BINARYX", 149}, {"binary", 149}, {"", 149}, {"PNG", 8}}) {
        SCOPED_TRACE(std::string(type) + " " + std::to_string(id));
        const platform::ResourceView view = FindResource(type, id);
        EXPECT_FALSE(view);
        EXPECT_EQ(view.data, nullptr);
        EXPECT_EQ(view.size, 0u);
    }
}

namespace {
using ModuleResource = const unsigned char* (*)(std::size_t*);
}

// Every module carries its own table; a plug-in that asks for BINARY 149 gets
// its own bytes even though the host has a BINARY 149 of its own, and a
// plug-in without resources finds none.
TEST(Resources, EachModuleFindsItsOwnTable)
{
    platform::LibraryHandle library = platform::OpenLibrary(CORVANE_TEST_MODULE_PATH);
    platform::LibraryHandle bare = platform::OpenLibrary(CORVANE_TEST_BARE_MODULE_PATH);
    ASSERT_NE(library, nullptr) << platform::LastLibraryError();
    ASSERT_NE(bare, nullptr) << platform::LastLibraryError();
    auto lookup = reinterpret_cast<ModuleResource>(platform::FindSymbol(library, "CorvaneTestModuleResource"));
    auto bareLookup = reinterpret_cast<ModuleResource>(platform::FindSymbol(bare, "CorvaneTestModuleResource"));
    ASSERT_NE(lookup, nullptr);
    ASSERT_NE(bareLookup, nullptr);

    std::size_t size = 0;
    const unsigned char* data = lookup(&size);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::vector<unsigned char>(data, data + size), ReadDataFile("module.bin"));

    size = 99;
    EXPECT_EQ(bareLookup(&size), nullptr);
    EXPECT_EQ(size, 0u);

    // And the program's lookup is not disturbed by the modules being loaded.
    EXPECT_EQ(Bytes(FindResource("BINARY", 149)), ReadDataFile("table.bin"));
    platform::CloseLibrary(bare);
    platform::CloseLibrary(library);
}
