// The colour table: initial entries, the index check, and entries inherited
// from a parent table.

#include <gtest/gtest.h>

#include "framework/Error.h"
#include "gui/ColorTable.h"

TEST(ColorTable, StartsWithTheStudioColours)
{
    const CColorTable table;
    EXPECT_EQ(table.GetColor(0), 0x000000u);
    EXPECT_EQ(table.GetColor(1), 0xFFFFFFu);
    EXPECT_EQ(table.GetColor(CColorTable::kContainerBackground), 0x202020u);
    EXPECT_EQ(table.GetColor(CColorTable::kDefaultGUIText), 0xF0F0F0u);
    EXPECT_EQ(table.GetColor(CColorTable::kConnectorText), 0xCC9600u);
    EXPECT_EQ(table.GetColor(24), 0x001000u);
    EXPECT_EQ(table.GetColor(28), 0xE5A800u);
    EXPECT_EQ(table.GetColor(31), 0xA0A0A0u);
    EXPECT_EQ(table.GetColor(CColorTable::kMeterGreen), 0x00F000u);
    EXPECT_EQ(table.GetColor(CColorTable::kMeterYellow), 0x00F0F0u);
    EXPECT_EQ(table.GetColor(CColorTable::kMeterRed), 0x0000F0u);
    EXPECT_EQ(table.GetColor(41), 0xCC9600u);
    for (int i = 0; i < CColorTable::kColorCount; ++i)
        EXPECT_FALSE(table.IsInherited(i));
}

TEST(ColorTable, EntriesOutsideTheTableRaiseTheMessage)
{
    CColorTable table;
    for (int index : {-1, 42, 1000, -2147483647 - 1}) {
        for (int operation = 0; operation < 4; ++operation) {
            try {
                switch (operation) {
                case 0: table.GetColor(index); break;
                case 1: table.SetColor(index, 0); break;
                case 2: table.SetInherited(index, true); break;
                default: CColorTable::InitialColor(index); break;
                }
                ADD_FAILURE() << index << " accepted by operation " << operation;
            } catch (const CError& error) {
                EXPECT_STREQ(error.what(), "ColorManager: Invalid Color Requested");
            }
        }
    }
}

TEST(ColorTable, InheritedEntriesFollowTheParent)
{
    CColorTable host;
    CColorTable library(&host);
    host.SetColor(5, 0x112233);
    EXPECT_EQ(library.GetColor(5), 0x808080u) << "own until marked inherited";
    library.SetInherited(5, true);
    EXPECT_EQ(library.GetColor(5), 0x112233u);
    host.SetColor(5, 0x445566);
    EXPECT_EQ(library.GetColor(5), 0x445566u);
    EXPECT_EQ(library.GetColor(6), 0x606060u) << "other entries stay the library's";

    // Through a chain of parents.
    CColorTable editor(&library);
    editor.SetInherited(5, true);
    EXPECT_EQ(editor.GetColor(5), 0x445566u);

    // Setting an entry makes it the table's own again.
    library.SetColor(5, 0x010203);
    EXPECT_FALSE(library.IsInherited(5));
    EXPECT_EQ(editor.GetColor(5), 0x010203u);

    // Without a parent an inherited entry is the table's own colour.
    CColorTable orphan;
    orphan.SetInherited(7, true);
    EXPECT_EQ(orphan.GetColor(7), 0x404040u);
}

TEST(ColorTable, AParentLoopIsRefused)
{
    CColorTable a;
    CColorTable b(&a);
    a.SetParent(&b);
    EXPECT_EQ(a.GetParent(), nullptr);
    a.SetParent(&a);
    EXPECT_EQ(a.GetParent(), nullptr);
    a.SetInherited(3, true);
    b.SetInherited(3, true);
    EXPECT_EQ(b.GetColor(3), 0x404040u);
}
