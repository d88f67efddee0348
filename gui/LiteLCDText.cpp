#include "gui/LiteLCDText.h"

#include "gui/BitmapFont.h"
#include "gui/LiteContainer.h"
#include "framework/Mutex.h"
#include "framework/ScopedLock.h"

namespace {
constexpr ColorRef kPaper = MakeColorRef(255, 255, 255);
constexpr ColorRef kInk = MakeColorRef(0, 0, 0);
// Text starts this far from the left edge.
constexpr int kLeftMargin = 2;
} // namespace

CLiteLCDText::CLiteLCDText(CLiteContainer* container, int x, int y, int width, int height, double opacity)
    : CLiteControl(container, x, y, width, height), opacity(opacity < 0.0 ? 0.0 : (opacity > 1.0 ? 1.0 : opacity))
{
    mask.Create(width, height, true);
    Render();
}

CLiteLCDText::~CLiteLCDText()
{
    StopScrolling();
}

void CLiteLCDText::StopScrolling()
{
    if (scrolling && container != nullptr)
        container->StopTimer(*this);
    scrolling = false;
}

void CLiteLCDText::SetText(const char* newText)
{
    text = newText != nullptr ? newText : "";
    scrollPosition = 0;
    Render();
    const bool wider = kLeftMargin + CBitmapFont::TextWidth(text.c_str()) > width;
    if (wider && !scrolling) {
        scrolling = true;
        if (container != nullptr)
            container->StartTimer(*this, kScrollIntervalMs);
    } else if (!wider) {
        StopScrolling();
    }
    Redraw();
}

void CLiteLCDText::Render()
{
    mask.ResetClipRect();
    mask.FillClipRect(kPaper);
    const int top = (height - CBitmapFont::kGlyphHeight) / 2;
    CBitmapFont::DrawText(mask, kLeftMargin - scrollPosition, top, text.c_str(), kInk);

    // Grey to black mask: the darker the rendered pixel, the more opaque.
    unsigned char* p = mask.Pixels();
    const std::size_t count = static_cast<std::size_t>(mask.GetWidth()) * static_cast<std::size_t>(mask.GetHeight());
    for (std::size_t i = 0; i < count; ++i, p += 4) {
        const int average = (p[0] + p[1] + p[2]) / 3;
        p[3] = static_cast<unsigned char>((255 - average) * opacity);
        p[0] = p[1] = p[2] = 0;
    }
}

void CLiteLCDText::Draw(CPicture& backBuffer)
{
    mask.Draw(backBuffer, x, y);
}

void CLiteLCDText::OnTimer()
{
    if (!scrolling)
        return;
    if (container == nullptr) {
        ScrollStep();
        return;
    }
    CScopedLock<CMutex> guard(container->GetLock());
    ScrollStep();
}

void CLiteLCDText::ScrollStep()
{
    // The position stops at the control's width.
    if (scrollPosition + 1 > width) {
        scrollPosition = width;
        StopScrolling();
        return;
    }
    ++scrollPosition;
    Render();
    Redraw();
}
