// The tool bar on a screen of device pixel ratio 2 (this test runs with
// QT_SCALE_FACTOR=2): the skinned pieces keep their size in device-
// independent pixels and the meter's segments stay sharp, each picture
// pixel a 2 x 2 block rather than a blur.

#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>

#include "editors/MainToolBar.h"
#include "host/PeakMeter.h"
#include "editors/PeakMeterView.h"
#include "editors/VolumeSliderView.h"
#include "gui/LiteContainerView.h"
#include "tests/editors/mainwindow/StudioRig.h"

using namespace mainwindow_test;

TEST(HiDpi, TheToolBarKeepsItsSizeAndTheMeterStaysSharp)
{
    CStudioRig rig;
    rig.window->resize(900, 500);
    rig.window->show();
    CMainToolBar* bar = rig.window->ToolBar();
    EXPECT_EQ(bar->height(), 30);
    EXPECT_EQ(bar->VolumeSlider()->SliderView()->size(), QSize(120, 26));

    CPeakMeterView* meter = bar->PeakMeter();
    EXPECT_EQ(meter->size(), QSize(96, 18));
    CPeakMeter levels;
    levels.Feed(1.0, 0.25);   // full scale left, -6 right
    meter->PaintFromDisplayThread(levels);
    ASSERT_TRUE(ProcessEventsUntil([&] { return !meter->IsPresentPending(); }, 2000));

    const QImage grabbed = meter->grab().toImage();
    ASSERT_EQ(grabbed.devicePixelRatio(), 2.0);
    ASSERT_EQ(grabbed.size(), QSize(192, 36));
    const QImage& picture = meter->GetBitmap();
    int blocks = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb expected = picture.pixel(x, y) | 0xff000000u;
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < 2; ++dx)
                    ASSERT_EQ(grabbed.pixel(2 * x + dx, 2 * y + dy) | 0xff000000u, expected) << x << "," << y;
            ++blocks;
        }
    EXPECT_EQ(blocks, 96 * 18);
}
