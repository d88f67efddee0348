// The generated skins: the host's pictures are this program's PNG resources
// and load by id; the stock library's files decode to the sizes and forms
// the manifest gives them.

#include <gtest/gtest.h>

#include <string>

#include "framework/Error.h"
#include "gui/Picture.h"
#include "tests/gui/GuiTestSupport.h"
#include "tests/gui/PngTestFiles.h"
#include "tools/skingen/SkinManifest.h"

using gui_test::PixelOf;

namespace {

int ExpectedHeight(const SkinEntry& entry)
{
    switch (entry.kind) {
    case SkinKind::KnobStrip: return entry.width * entry.frames;
    case SkinKind::ButtonStrip: return entry.height * 3;
    default: return entry.height;
    }
}

bool ExpectedAlpha(const SkinEntry& entry)
{
    return entry.kind != SkinKind::Splash && entry.kind != SkinKind::Panel && entry.kind != SkinKind::LcdPanel;
}

} // namespace

TEST(SkinResources, TheHostsPicturesLoadByIdFromItsOwnTable)
{
    int loaded = 0;
    for (const SkinEntry& entry : SkinManifest()) {
        if (std::string(entry.module) != "host")
            continue;
        SCOPED_TRACE(entry.id);
        CPicture picture;
        picture.SetClipRect(5, 5, 5, 5);
        EXPECT_EQ(picture.LoadPNGResource(entry.id), ExpectedHeight(entry));
        EXPECT_EQ(picture.GetWidth(), entry.width);
        EXPECT_EQ(picture.HasAlpha(), ExpectedAlpha(entry));
        EXPECT_EQ(picture.GetClipRect().right, entry.width - 1);
        ++loaded;
    }
    EXPECT_EQ(loaded, 8);
    CPicture missing;
    try {
        missing.LoadPNGResource(999);
        ADD_FAILURE() << "a missing resource loaded";
    } catch (const CError& error) {
        EXPECT_STREQ(error.what(), "Can't Find PNG Resource 999");
    }
}

TEST(SkinResources, TheStockLibrarysFilesMatchTheManifest)
{
    int checked = 0;
    for (const SkinEntry& entry : SkinManifest()) {
        if (std::string(entry.module) != "stockpack")
            continue;
        SCOPED_TRACE(entry.id);
        const png_test::Bytes bytes =
            png_test::ReadFile(std::string(CORVANE_SKIN_DIR) + "/stockpack_" + std::to_string(entry.id) + ".png");
        ASSERT_FALSE(bytes.empty());
        CPicture picture;
        picture.ReadPNG(bytes.data(), bytes.size());
        EXPECT_EQ(picture.GetWidth(), entry.width);
        EXPECT_EQ(picture.GetHeight(), ExpectedHeight(entry));
        EXPECT_EQ(picture.HasAlpha(), ExpectedAlpha(entry));
        ++checked;
    }
    EXPECT_EQ(checked, 26);
}

TEST(SkinResources, KnobStripsTurnAndStayClearOutsideTheKnob)
{
    const png_test::Bytes bytes = png_test::ReadFile(std::string(CORVANE_SKIN_DIR) + "/stockpack_133.png");
    CPicture strip;
    strip.ReadPNG(bytes.data(), bytes.size());
    const int size = strip.GetWidth();
    ASSERT_EQ(strip.GetHeight(), size * 101);
    // Corners are transparent in every frame; the pointer's end moves, so
    // the first, middle and last frames all differ.
    for (int k : {0, 50, 100}) {
        EXPECT_EQ(PixelOf(strip, 0, k * size)[3], 0);
        EXPECT_EQ(PixelOf(strip, size - 1, k * size + size - 1)[3], 0);
    }
    const auto frameBytes = [&](int k) {
        return std::vector<unsigned char>(strip.PixelAt(0, k * size), strip.PixelAt(0, (k + 1) * size));
    };
    EXPECT_NE(frameBytes(0), frameBytes(50));
    EXPECT_NE(frameBytes(50), frameBytes(100));
    EXPECT_NE(frameBytes(0), frameBytes(100));
}
