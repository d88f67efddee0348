#pragma once
// CLiteControl: the base of the skinned controls a CLiteContainer paints and
// feeds with the mouse. A control appends itself to its container when it is
// made and leaves it when it is deleted; the container deletes the ones
// still in it. Coordinates are the container's.
//
// Threads: user-interface thread (a bound control's machine may be worked on
// elsewhere; it is locked for every call).

class CLiteContainer;
class CMachine;
class CPicture;

class CLiteControl {
public:
    CLiteControl(CLiteContainer* container, int x, int y, int width, int height);
    virtual ~CLiteControl();
    CLiteControl(const CLiteControl&) = delete;
    CLiteControl& operator=(const CLiteControl&) = delete;

    virtual void Draw(CPicture& backBuffer) {}
    virtual void OnMouseMove(int x, int y) {}
    virtual void OnMousePress(int x, int y) {}
    virtual void OnMouseRelease(int x, int y) {}
    /// Buttons only.
    virtual void SetState(int state) {}
    /// A timer the control started through its container fired.
    virtual void OnTimer() {}

    /// Repaints the control's rectangle of the container.
    void Redraw();
    bool Contains(int px, int py) const;
    bool Meets(int left, int top, int w, int h) const;

    void SetVisible(bool value) { visible = value; }
    void SetInput(bool value) { input = value; }
    bool IsVisible() const { return visible; }
    bool TakesInput() const { return input; }
    void Move(int newX, int newY) { x = newX; y = newY; }

    CLiteContainer* GetContainer() const { return container; }
    int GetX() const { return x; }
    int GetY() const { return y; }
    int GetWidth() const { return width; }
    int GetHeight() const { return height; }

protected:
    /// The tool tip of a bound control: "%s %s" with the parameter's name
    /// and the machine's text for value. Call with the machine locked.
    void ShowParameterToolTip(CMachine* machine, int parameter, double value);

    CLiteContainer* container;
    int x;
    int y;
    int width;
    int height;
    bool visible = true;
    bool input = true;

private:
    friend class CLiteContainer;
    /// The container is going away; don't unlink from it.
    void Detach() { container = nullptr; }
};
