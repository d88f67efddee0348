#pragma once
// CPeakMeterView: the tool bar's two-channel peak meter on screen. The
// display thread paints the meter's levels into the view's picture under
// the picture's lock and asks the user-interface thread, by a queued call,
// to copy it to the screen; it never touches the widget itself. The audio
// side only ever takes the meter's own lock, so it never waits on this one.
//
// Threads: PaintFromDisplayThread on the display thread, everything else on
// the user-interface thread.

#include <atomic>

#include "framework/Mutex.h"
#include "gui/ColorTable.h"
#include "gui/Picture.h"
#include "gui/PictureView.h"

class CPeakMeter;

class CPeakMeterView : public CPictureView {
public:
    static constexpr int kWidth = 96;
    static constexpr int kHeight = 18;

    explicit CPeakMeterView(QWidget* parent = nullptr);

    /// Paints the current levels and held peaks, then queues a present
    /// unless one is still waiting (the screen catches up with the latest).
    void PaintFromDisplayThread(CPeakMeter& meter);
    /// Copies the picture to the screen (user-interface thread).
    void PresentLatest();

    /// Presents already queued and not yet run, for tests that wait on them.
    bool IsPresentPending() const { return presentPending.load(); }

private:
    CPicture picture;
    CMutex pictureLock;
    // A copy of the initial colours: the display thread reads no table the
    // user-interface thread may change.
    CColorTable colors;
    std::atomic<bool> presentPending{false};
};
