#pragma once
// CLiteButton: a button drawn from three pictures (normal, hover, pressed).
// A plain button reports a click when the mouse is released over it; a
// toggle button reports on the release that switches it on and on the press
// that switches it off, and stays pressed while it is on. The button holds
// the mouse while the pointer hovers it (also after a click), so that it
// sees the pointer leave.
//
// Threads: user-interface thread.

#include "gui/LiteControl.h"

class CLiteButton : public CLiteControl {
public:
    enum State : int { kNormal = 0, kHover = 1, kPressed = 2 };

    /// Pictures stay the caller's; a missing one draws nothing.
    CLiteButton(CLiteContainer* container, int x, int y, int width, int height, const CPicture* normal,
                const CPicture* hover, const CPicture* pressed, bool toggle = false);

    /// Disabling lets go of the mouse and leaves the hover state.
    void SetEnabled(bool value);
    bool IsEnabled() const { return enabled; }
    bool IsToggle() const { return toggle; }
    int GetState() const { return state; }

    void Draw(CPicture& backBuffer) override;
    void OnMouseMove(int x, int y) override;
    void OnMousePress(int x, int y) override;
    void OnMouseRelease(int x, int y) override;
    /// Stores a different state and redraws.
    void SetState(int newState) override;

private:
    void NotifyClicked();

    const CPicture* pictures[3];
    bool enabled = true;
    bool toggle;
    int state = kNormal;
};
