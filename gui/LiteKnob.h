#pragma once
// CLiteKnob: a knob drawn from a film strip of N frames stacked vertically,
// each the knob's height. Dragging up raises the value: a full sweep takes
// 100 pixels in N - 1 steps. Bound to a machine's parameter, the knob sets
// the parameter (through SetParameterNotify) instead of its own value, and
// shows the parameter's name and value text while dragged; the editor shows
// the machine's value again with SetValue.
//
// Threads: user-interface thread.

#include "gui/LiteControl.h"

class CLiteKnob : public CLiteControl {
public:
    /// The strip stays the caller's (skins are shared by every editor of a
    /// machine type).
    CLiteKnob(CLiteContainer* container, int x, int y, int width, int height, const CPicture* strip, int frames);

    void Bind(CMachine* machine, int parameter);
    CMachine* GetMachine() const { return machine; }
    int GetParameter() const { return parameter; }

    /// Stores the value (no redraw: the caller redraws when it is done).
    void SetValue(double newValue) { value = newValue; }
    double GetValue() const { return value; }
    int GetFrameCount() const { return frames; }
    /// trunc((N - 1) x value), kept inside the strip.
    int CurrentFrame() const;
    bool IsDragging() const { return dragging; }

    void Draw(CPicture& backBuffer) override;
    void OnMouseMove(int x, int y) override;
    void OnMousePress(int x, int y) override;
    void OnMouseRelease(int x, int y) override;

    /// The value a drag gives: k = trunc(((pressY - y) / 100 + pressValue)
    /// x (N - 1)), the division in single precision, limited to 0 .. N - 1,
    /// and v = k / (N - 1).
    static double DragValue(int pressY, double pressValue, int y, int frames);

private:
    const CPicture* strip;
    int frames;
    double value = 0.0;
    CMachine* machine = nullptr;
    int parameter = -1;
    bool dragging = false;
    int pressY = 0;
    double pressValue = 0.0;
};
