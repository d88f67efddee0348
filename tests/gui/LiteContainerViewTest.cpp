// The panel's Qt window: it presents what the panel painted, passes the
// mouse in, shows bound controls' tool tips and runs the scroll timers.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <QApplication>
#include <QMouseEvent>
#include <QToolTip>

#include "gui/LiteButton.h"
#include "gui/LiteContainerView.h"
#include "gui/LiteKnob.h"
#include "gui/LiteLCDText.h"
#include "tests/gui/GuiTestSupport.h"

using namespace gui_test;

namespace {

void Send(QWidget& widget, QEvent::Type type, int x, int y, Qt::MouseButtons held)
{
    const QPointF local(x, y);
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, local, widget.mapToGlobal(local), button, held, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

void Press(QWidget& w, int x, int y) { Send(w, QEvent::MouseButtonPress, x, y, Qt::LeftButton); }
void Move(QWidget& w, int x, int y, bool held) { Send(w, QEvent::MouseMove, x, y, held ? Qt::LeftButton : Qt::NoButton); }
void Release(QWidget& w, int x, int y) { Send(w, QEvent::MouseButtonRelease, x, y, Qt::NoButton); }

/// Processes events until the condition holds or five seconds pass.
template <class Condition>
bool WaitFor(Condition condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

QColor BitmapColor(const CLiteContainerView& view, int x, int y)
{
    return view.GetBitmap().pixelColor(x, y);
}

} // namespace

TEST(LiteContainerView, PresentsTheBackBufferAndDragsAKnob)
{
    const CPicture strip = NumberedStrip(10, 10, 101);
    auto* panel = new CRecordingContainer(60, 200);
    auto* knob = new CLiteKnob(panel, 20, 100, 10, 10, &strip, 101);
    CLiteContainerView view(panel, nullptr, true);
    EXPECT_EQ(view.size(), QSize(60, 200));
    EXPECT_EQ(BitmapColor(view, 25, 105), QColor(0, 255, 7)) << "frame 0 on screen";
    EXPECT_EQ(BitmapColor(view, 5, 5), QColor(0x20, 0x20, 0x20));

    Press(view, 25, 105);
    Move(view, 25, 55, true);
    Release(view, 25, 55);
    EXPECT_EQ(knob->GetValue(), 0.5);
    EXPECT_EQ(BitmapColor(view, 25, 105), QColor(50, 205, 7)) << "frame 50 on screen";
}

TEST(LiteContainerView, ButtonsHoverClickAndLetGoWhenThePointerLeaves)
{
    const CPicture normal = SolidPicture(20, 10, 10, 0, 0);
    const CPicture hover = SolidPicture(20, 10, 20, 0, 0);
    const CPicture pressed = SolidPicture(20, 10, 30, 0, 0);
    auto* panel = new CRecordingContainer(80, 40);
    auto* button = new CLiteButton(panel, 10, 10, 20, 10, &normal, &hover, &pressed);
    CLiteContainerView view(panel, nullptr, true);
    Move(view, 15, 15, false);
    EXPECT_EQ(button->GetState(), CLiteButton::kHover);
    EXPECT_EQ(BitmapColor(view, 15, 15), QColor(20, 0, 0));
    Press(view, 15, 15);
    Release(view, 15, 15);
    EXPECT_EQ(panel->Count("clicked"), 1);
    // Another button than the left one does nothing.
    QMouseEvent right(QEvent::MouseButtonPress, QPointF(15, 15), view.mapToGlobal(QPointF(15, 15)), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &right);
    EXPECT_EQ(button->GetState(), CLiteButton::kHover);

    // Hovering again after the click, then leaving the window.
    Move(view, 16, 15, false);
    Move(view, 40, 30, false);
    Move(view, 16, 15, false);
    ASSERT_EQ(button->GetState(), CLiteButton::kHover);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&view, &leave);
    EXPECT_EQ(button->GetState(), CLiteButton::kNormal);
    EXPECT_EQ(panel->GetCapture(), nullptr);
}

TEST(LiteContainerView, BoundKnobsShowTheirToolTip)
{
    CBoundMachineRig rig;
    const CPicture strip = NumberedStrip(10, 10, 101);
    auto* panel = new CRecordingContainer(60, 200);
    auto* knob = new CLiteKnob(panel, 20, 100, 10, 10, &strip, 101);
    knob->Bind(rig.machine, 0);
    knob->SetValue(0.25);
    CLiteContainerView view(panel, nullptr, true);
    view.show();
    Press(view, 25, 105);
    EXPECT_TRUE(WaitFor([] { return QToolTip::text() == "Cutoff 25.0%"; })) << QToolTip::text().toStdString();
    Move(view, 25, 95, true);
    EXPECT_TRUE(WaitFor([] { return QToolTip::text() == "Cutoff 35.0%"; })) << QToolTip::text().toStdString();
    Release(view, 25, 95);
    EXPECT_TRUE(WaitFor([] { return !QToolTip::isVisible(); }));
    ASSERT_EQ(rig.notifications.size(), 1u);
}

TEST(LiteContainerView, RunsTheScrollTimerOfAnLCDText)
{
    auto* panel = new CRecordingContainer(60, 20);
    auto* lcd = new CLiteLCDText(panel, 0, 0, 60, 20);
    auto view = std::make_unique<CLiteContainerView>(panel, nullptr, true);
    lcd->SetText("A text that is much wider than the display");
    ASSERT_TRUE(lcd->IsScrolling());
    EXPECT_TRUE(WaitFor([&] { return lcd->GetScrollPosition() >= 3; }));
    // The window goes with its timers; nothing ticks into a freed panel.
    view.reset();
    QApplication::processEvents();
}
