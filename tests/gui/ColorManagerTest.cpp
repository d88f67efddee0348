// The colour manager's Qt pens and brushes: made on first use, kept, and
// following their entry's colour, own or inherited.

#include <gtest/gtest.h>

#include "framework/Error.h"
#include "gui/ColorManager.h"

TEST(ColorManager, PensAndBrushesCarryTheEntryColourWithRedInTheLowByte)
{
    CColorManager colors;
    EXPECT_EQ(colors.GetPen(CColorTable::kMeterRed).color(), QColor(240, 0, 0));
    EXPECT_EQ(colors.GetBrush(CColorTable::kConnectorText).color(), QColor(0, 150, 204));
    EXPECT_EQ(colors.GetQColor(CColorTable::kMeterYellow), QColor(240, 240, 0));
    // Kept: the same object every time.
    EXPECT_EQ(&colors.GetPen(5), &colors.GetPen(5));
    EXPECT_EQ(&colors.GetBrush(5), &colors.GetBrush(5));
    EXPECT_THROW(colors.GetPen(42), CError);
    EXPECT_THROW(colors.GetBrush(-1), CError);
}

TEST(ColorManager, APenFollowsItsEntryInPlace)
{
    CColorManager host;
    CColorManager library(&host);
    library.SetInherited(20, true);
    const QPen& pen = library.GetPen(20);
    const QBrush& brush = library.GetBrush(20);
    EXPECT_EQ(pen.color(), QColor(0x40, 0x40, 0x40));
    host.SetColor(20, 0x00332211);
    EXPECT_EQ(&library.GetPen(20), &pen);
    EXPECT_EQ(pen.color(), QColor(0x11, 0x22, 0x33));
    library.GetBrush(20);
    EXPECT_EQ(brush.color(), QColor(0x11, 0x22, 0x33));
}
