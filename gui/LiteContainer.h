#pragma once
// CLiteContainer: a skinned panel on which light-weight controls (knobs,
// sliders, buttons, LCD texts) are painted. The controls are not windows:
// the container keeps them in insertion order, paints them into its back
// buffer over the background, and hands them the mouse. This class is the
// panel's whole logic and knows no toolkit; the window that shows it
// (CLiteContainerView for Qt) implements CLiteWindow and passes the mouse in.
//
// Threads: user-interface thread. The lock guards the back buffer while it
// is painted and presented; a bound knob takes the machine's lock before it.

#include <vector>

#include "framework/Mutex.h"
#include "gui/Picture.h"

class CColorTable;
class CLiteButton;
class CLiteControl;
class CLiteSlider;

/// What the panel needs of the window it lives in.
class CLiteWindow {
public:
    virtual ~CLiteWindow() = default;
    /// Copies the rectangle of the back buffer to the screen. Called with
    /// the container's lock held.
    virtual void Present(const CPicture& backBuffer, int x, int y, int w, int h) = 0;
    virtual void CaptureMouse() = 0;
    virtual void ReleaseMouse() = 0;
    virtual void ShowToolTip(const CLiteControl& control, const char* text) = 0;
    /// Calls control.OnTimer every intervalMs until stopped.
    virtual void StartTimer(CLiteControl& control, int intervalMs) = 0;
    virtual void StopTimer(CLiteControl& control) = 0;
};

class CLiteContainer {
public:
    /// A background must be RGB and exactly the container's size, else
    /// "CLiteContainer : Invalid Background Picture". The background, like
    /// every skin picture, is shared and stays the caller's.
    CLiteContainer(int width, int height, const CPicture* background = nullptr);
    /// Deletes the controls that are still in the list.
    virtual ~CLiteContainer();
    CLiteContainer(const CLiteContainer&) = delete;
    CLiteContainer& operator=(const CLiteContainer&) = delete;

    void SetWindow(CLiteWindow* newWindow) { window = newWindow; }
    CLiteWindow* GetWindow() const { return window; }
    /// Repeated from the origin where there is no background picture.
    void SetTilePattern(const CPicture* pattern) { tilePattern = pattern; }
    /// Entry 2 paints the background without a picture or pattern; without
    /// a table the initial colours apply.
    void SetColorTable(const CColorTable* table) { colorTable = table; }

    /// Repaints the rectangle (clipped to the panel): background, then every
    /// visible control that meets it in list order; then presents it.
    void Redraw(int x, int y, int w, int h);
    void RedrawAll() { Redraw(0, 0, width, height); }

    /// Mouse input in panel coordinates: to the capturing control, else to
    /// the last control in the list that takes input and holds the point.
    void OnMouseMove(int x, int y);
    void OnMousePress(int x, int y);
    void OnMouseRelease(int x, int y);
    /// The control under the point that would receive it, or null.
    CLiteControl* ControlAt(int x, int y) const;

    void CaptureMouse(CLiteControl* control);
    /// Releases only when the control is the capturing one.
    void ReleaseMouse(CLiteControl* control);
    CLiteControl* GetCapture() const { return capture; }

    void ShowToolTip(const CLiteControl& control, const char* text);
    void StartTimer(CLiteControl& control, int intervalMs);
    void StopTimer(CLiteControl& control);

    /// Notifications of unbound sliders and of buttons; an editor overrides
    /// them. Slider notifications arrive with the container's lock held.
    virtual void OnSliderPressed(CLiteSlider* slider, double value) {}
    virtual void OnSliderMoved(CLiteSlider* slider, double value) {}
    virtual void OnButtonClicked(CLiteButton* button) {}

    CMutex& GetLock() { return lock; }
    const CPicture& GetBackBuffer() const { return backBuffer; }
    const CPicture* GetBackground() const { return background; }
    int GetWidth() const { return width; }
    int GetHeight() const { return height; }
    const std::vector<CLiteControl*>& GetControls() const { return controls; }

private:
    friend class CLiteControl;
    /// Called by CLiteControl's constructor and destructor.
    void AddControl(CLiteControl* control);
    void RemoveControl(CLiteControl* control);
    void PaintBackground(int x, int y, int w, int h);
    CLiteControl* MouseTarget(int x, int y) const;

    CMutex lock;
    int width;
    int height;
    const CPicture* background;
    const CPicture* tilePattern = nullptr;
    const CColorTable* colorTable = nullptr;
    CPicture backBuffer;
    std::vector<CLiteControl*> controls;
    CLiteControl* capture = nullptr;
    CLiteWindow* window = nullptr;
};
