// The stock types' skin pictures: loaded once, when the descriptor is built
// or at the type's first machine as each type has it; a missing or damaged
// picture leaves its message and a machine without an editor, never a
// crash. This program carries a damaged PNG as resource 133 and a file
// that is no PNG as 134, and no other pictures.

#include <gtest/gtest.h>

#include <memory>

#include "framework/Machine.h"
#include "stockpack/common/SkinImages.h"
#include "stockpack/davarorodir/DavarorOdirInfo.h"
#include "stockpack/drumkit/DrumKitInfo.h"
#include "stockpack/mixer/MixerInfo.h"
#include "stockpack/razuzuri/RazuZuriInfo.h"
#include "stockpack/redoruviz/RedoRuvizFilterInfo.h"
#include "tests/stockpack/StockTestSupport.h"

using stock_test::CStockTestHost;

TEST(SkinImages, MissingAndDamagedPicturesGiveTheirMessagesAndNoEditor)
{
    CSkinImages missing{132};
    missing.Load();
    EXPECT_TRUE(missing.IsLoaded());
    EXPECT_FALSE(missing.IsComplete());
    EXPECT_EQ(missing.Message(), "Can't Find PNG Resource 132");
    EXPECT_EQ(missing.Get(132), nullptr);

    CSkinImages damaged{133};
    damaged.Load();
    EXPECT_EQ(damaged.Message(), "Chunk Found Larger Than File In PNG Image");
    CSkinImages garbage{134};
    garbage.Load();
    EXPECT_EQ(garbage.Message(), "PNG File Header Not Found");

    // A machine of a type whose pictures failed works, without an editor.
    CStockTestHost host;
    CRazuZuriInfo info(&host);
    std::unique_ptr<CMachine> synth(info.CreateMachine());
    EXPECT_EQ(info.Images().Message(), "Can't Find PNG Resource 132");
    std::int16_t top = 0, left = 0, bottom = 0, right = 0;
    EXPECT_FALSE(synth->GetEditorRect(&top, &left, &bottom, &right));
    EXPECT_EQ(synth->CreateEditor(nullptr), nullptr);
    synth->CloseEditor();
}

TEST(SkinImages, EachTypeLoadsItsPicturesOnceWhenItsDescriptorSays)
{
    CStockTestHost host;
    // Built: VUziD8 and RedoRuviz load at once; the others wait for their
    // first machine.
    CDrumKitInfo kit(&host);
    CRedoRuvizFilterInfo filter(&host);
    CMixerInfo mixer(&host);
    CDavarorOdirInfo reverb(&host);
    EXPECT_EQ(kit.Images().LoadCount(), 1);
    EXPECT_EQ(filter.Images().LoadCount(), 1);
    EXPECT_EQ(mixer.Images().LoadCount(), 0);
    EXPECT_EQ(reverb.Images().LoadCount(), 0);

    std::unique_ptr<CMachine> first(mixer.CreateMachine());
    std::unique_ptr<CMachine> second(mixer.CreateMachine());
    std::unique_ptr<CMachine> room(reverb.CreateMachine());
    std::unique_ptr<CMachine> drums(kit.CreateMachine());
    EXPECT_EQ(mixer.Images().LoadCount(), 1);
    EXPECT_EQ(reverb.Images().LoadCount(), 1);
    EXPECT_EQ(kit.Images().LoadCount(), 1);
    EXPECT_EQ(mixer.Images().Message(), "Can't Find PNG Resource 137");
}
