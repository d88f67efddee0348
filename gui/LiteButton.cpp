#include "gui/LiteButton.h"

#include "gui/LiteContainer.h"
#include "gui/Picture.h"

CLiteButton::CLiteButton(CLiteContainer* container, int x, int y, int width, int height, const CPicture* normal,
                         const CPicture* hover, const CPicture* pressed, bool toggle)
    : CLiteControl(container, x, y, width, height), pictures{normal, hover, pressed}, toggle(toggle)
{
}

void CLiteButton::Draw(CPicture& backBuffer)
{
    const CPicture* picture = state >= kNormal && state <= kPressed ? pictures[state] : nullptr;
    if (picture != nullptr)
        picture->Draw(backBuffer, x, y, 0, 0, width, height);
}

void CLiteButton::NotifyClicked()
{
    if (container != nullptr)
        container->OnButtonClicked(this);
}

void CLiteButton::OnMouseMove(int px, int py)
{
    if (!enabled)
        return;
    const bool inside = Contains(px, py);
    if (state == kNormal) {
        if (inside) {
            state = kHover;
            if (container != nullptr)
                container->CaptureMouse(this);
            Redraw();
        }
        return;
    }
    // A toggle button that is on ignores the pointer.
    if (state == kPressed && toggle)
        return;
    if (!inside) {
        state = kNormal;
        if (container != nullptr)
            container->ReleaseMouse(this);
        Redraw();
    }
}

void CLiteButton::OnMousePress(int, int)
{
    if (!enabled)
        return;
    if (state == kHover) {
        state = kPressed;
    } else if (state == kPressed && toggle) {
        state = kNormal;
        NotifyClicked();
    }
    Redraw();
}

void CLiteButton::OnMouseRelease(int, int)
{
    if (!enabled || state != kPressed)
        return;
    NotifyClicked();
    if (toggle) {
        if (container != nullptr)
            container->ReleaseMouse(this);
        return;
    }
    // Hovered again: the button keeps the mouse, as on entering the hover
    // state, or it would never see the pointer leave and would stay lit.
    // One that the click disabled or hid lets go.
    if (enabled && visible && input) {
        state = kHover;
    } else {
        state = kNormal;
        if (container != nullptr)
            container->ReleaseMouse(this);
    }
    Redraw();
}

void CLiteButton::SetEnabled(bool value)
{
    enabled = value;
    // A disabled button ignores the mouse, so it must not hold it.
    if (!enabled && container != nullptr && container->GetCapture() == this) {
        container->ReleaseMouse(this);
        if (state == kHover || (state == kPressed && !toggle))
            SetState(kNormal);
    }
}

void CLiteButton::SetState(int newState)
{
    if (newState == state)
        return;
    state = newState;
    Redraw();
}
