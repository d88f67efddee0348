// A skinned panel as an editor builds one, from the stock library's
// generated skins: a fader, knobs, buttons in their three states, an LCD
// text and a lit peak meter. The window is grabbed and written as a PNG
// beside the build (screenshots/skinned-panel.png) for people to look at;
// the test checks the grab shows what the controls drew.

#include <gtest/gtest.h>

#include <filesystem>

#include <QApplication>
#include <QImage>
#include <QPixmap>

#include "host/PeakMeter.h"
#include "editors/PeakMeterPainter.h"
#include "gui/ColorManager.h"
#include "gui/LiteButton.h"
#include "gui/LiteContainerView.h"
#include "gui/LiteKnob.h"
#include "gui/LiteLCDText.h"
#include "gui/LiteSlider.h"
#include "gui/Picture.h"
#include "gui/PictureView.h"

namespace {

CPicture Skin(int id)
{
    CPicture picture;
    picture.LoadPNGResource(id);
    return picture;
}

/// The pictures an editor's descriptor would keep.
struct Skins {
    CPicture background = Skin(137);
    CPicture faderCap = Skin(138);
    CPicture faderTrack = Skin(139);
    CPicture smallKnob = Skin(140);
    CPicture knob = Skin(106);
    CPicture bigKnob = Skin(133);
    CPicture mute[3] = {Skin(141), Skin(142), Skin(143)};
    CPicture solo[3] = {Skin(144), Skin(145), Skin(146)};
    CPicture room[3] = {Skin(107), Skin(108), Skin(109)};
    CPicture display = Skin(110);
};

} // namespace

TEST(Screenshot, ASkinnedPanelWithEveryControlAndALitMeter)
{
    Skins skins;
    // The LCD window is part of the skin under the text.
    CPicture background(skins.background.GetWidth(), skins.background.GetHeight(), false);
    skins.background.Draw(background, 0, 0);
    skins.display.Draw(background, 150, 150);

    auto* panel = new CLiteContainer(background.GetWidth(), background.GetHeight(), &background);
    const int faderTravel = skins.faderTrack.GetHeight() - skins.faderCap.GetHeight();
    for (int i = 0; i < 3; ++i) {
        auto* fader = new CLiteSlider(panel, 24 + 34 * i, 40, skins.faderCap.GetWidth(), skins.faderTrack.GetHeight(),
                                      &skins.faderCap, SliderOrientation::Vertical, faderTravel, &skins.faderTrack);
        fader->SetValue(0.35 + 0.25 * i);
    }
    const int bigSize = skins.bigKnob.GetWidth();
    const int knobSize = skins.knob.GetWidth();
    const int smallSize = skins.smallKnob.GetWidth();
    const double values[] = {0.0, 0.3, 0.65, 1.0};
    for (int i = 0; i < 4; ++i) {
        auto* big = new CLiteKnob(panel, 150 + 56 * i, 40, bigSize, bigSize, &skins.bigKnob, 101);
        big->SetValue(values[i]);
        auto* small = new CLiteKnob(panel, 155 + 56 * i, 90, smallSize, smallSize, &skins.smallKnob, 101);
        small->SetValue(1.0 - values[i]);
    }
    auto* knob = new CLiteKnob(panel, 380, 40, knobSize, knobSize, &skins.knob, 101);
    knob->SetValue(0.5);
    const int buttonWidth = skins.mute[0].GetWidth();
    const int buttonHeight = skins.mute[0].GetHeight();
    for (int state = 0; state < 3; ++state) {
        auto* mute = new CLiteButton(panel, 150 + 36 * state, 125, buttonWidth, buttonHeight, &skins.mute[0],
                                     &skins.mute[1], &skins.mute[2], true);
        mute->SetState(state);
        auto* solo = new CLiteButton(panel, 270 + 36 * state, 125, buttonWidth, buttonHeight, &skins.solo[0],
                                     &skins.solo[1], &skins.solo[2]);
        solo->SetState(state);
    }
    auto* room = new CLiteButton(panel, 380, 90, skins.room[0].GetWidth(), skins.room[0].GetHeight(), &skins.room[0],
                                 &skins.room[1], &skins.room[2], true);
    room->SetState(CLiteButton::kPressed);
    auto* lcd = new CLiteLCDText(panel, 150, 150, skins.display.GetWidth(), skins.display.GetHeight(), 0.85);
    lcd->SetText("RAZUZURI 01: WARM PAD");
    CLiteContainerView view(panel, nullptr, true);

    // The tool bar's meter beside the controls, fed a loud block.
    CPeakMeter meter;
    meter.Feed(0.7 * 0.7, 0.5 * 0.5);
    CColorManager colors;
    CPicture meterPicture(96, 18, false);
    CPeakMeterPainter::Paint(meter, colors, meterPicture);
    auto* meterView = new CPictureView(&view);
    meterView->move(150, 185);
    meterView->Present(meterPicture);

    view.show();
    QApplication::processEvents();
    const QImage shot = view.grab().toImage().convertToFormat(QImage::Format_RGB888);
    ASSERT_EQ(shot.size(), QSize(background.GetWidth(), background.GetHeight()));

    const std::filesystem::path folder = CORVANE_SCREENSHOT_DIR;
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "skinned-panel.png").string();
    ASSERT_TRUE(shot.save(QString::fromStdString(path), "PNG"));
    std::printf("screenshot: %s\n", path.c_str());

    // What is on screen is what the panel and the meter drew.
    const CPicture& buffer = panel->GetBackBuffer();
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{30, 60}, {165, 55}, {160, 130}, {200, 155}, {400, 100}}) {
        const unsigned char* p = buffer.PixelAt(x, y);
        EXPECT_EQ(shot.pixelColor(x, y), QColor(p[0], p[1], p[2])) << x << "," << y;
    }
    // Left channel at -3.1: green segment 1 lit; segment 29 (above 0) dim.
    EXPECT_EQ(shot.pixelColor(150 + 2, 185 + 4), QColor(0, 240, 0));
    EXPECT_EQ(shot.pixelColor(150 + 2 + 3 * 28, 185 + 4), QColor(93, 63, 63));
    // The knobs turned: the first and the last big knob differ.
    EXPECT_NE(shot.copy(150, 40, bigSize, bigSize), shot.copy(150 + 56 * 3, 40, bigSize, bigSize));
}
