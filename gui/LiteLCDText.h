#pragma once
// CLiteLCDText: a line of text printed on the skin like an LCD: rendered
// with the toolkit's bitmap font into an RGBA picture of the control's size
// and turned into a black mask whose alpha is (255 - the rendered grey) x
// an opacity, so the skin shows through. A text wider than the control
// scrolls left one pixel every 100 ms until it has moved by the control's
// width.
//
// Threads: user-interface thread; the scroll timer ticks there too.

#include <string>

#include "gui/LiteControl.h"
#include "gui/Picture.h"

class CLiteLCDText : public CLiteControl {
public:
    static constexpr int kScrollIntervalMs = 100;

    CLiteLCDText(CLiteContainer* container, int x, int y, int width, int height, double opacity = 1.0);
    ~CLiteLCDText() override;

    /// Renders the new text from scroll position 0 and redraws; the scroll
    /// timer runs only while the text is wider than the control.
    void SetText(const char* text);
    const std::string& GetText() const { return text; }
    int GetScrollPosition() const { return scrollPosition; }
    bool IsScrolling() const { return scrolling; }
    const CPicture& GetMask() const { return mask; }

    void Draw(CPicture& backBuffer) override;
    /// One scroll step, under the container's lock.
    void OnTimer() override;

private:
    void Render();
    void ScrollStep();
    void StopScrolling();

    std::string text;
    double opacity;
    CPicture mask;
    int scrollPosition = 0;
    bool scrolling = false;
};
