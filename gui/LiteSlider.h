#pragma once
// CLiteSlider: a thumb picture that travels t pixels over an optional track
// picture, vertically (up for larger values) or horizontally (right for
// larger values). Only a press on the thumb starts a drag. Bound to a
// machine's parameter it sets the parameter; unbound it keeps its own value
// and tells the container (pressed, moved).
//
// Threads: user-interface thread.

#include "gui/LiteControl.h"

enum class SliderOrientation { Vertical, Horizontal };

class CLiteSlider : public CLiteControl {
public:
    /// Pictures stay the caller's. The track, when given, is drawn first at
    /// (x, y - trackOffset).
    CLiteSlider(CLiteContainer* container, int x, int y, int width, int height, const CPicture* thumb,
                SliderOrientation orientation, int travel, const CPicture* track = nullptr, int trackOffset = 0);

    void Bind(CMachine* machine, int parameter);
    CMachine* GetMachine() const { return machine; }
    int GetParameter() const { return parameter; }

    /// Stores the value (no redraw).
    void SetValue(double newValue) { value = newValue; }
    double GetValue() const { return value; }
    int GetTravel() const { return travel; }
    SliderOrientation GetOrientation() const { return orientation; }
    bool IsDragging() const { return dragging; }

    /// Top-left corner of the thumb: a = value x t; vertical (x, y + t - a),
    /// horizontal (x + a, y).
    int ThumbX() const;
    int ThumbY() const;
    bool OnThumb(int px, int py) const;

    void Draw(CPicture& backBuffer) override;
    void OnMouseMove(int x, int y) override;
    void OnMousePress(int x, int y) override;
    void OnMouseRelease(int x, int y) override;

private:
    int Offset() const;

    const CPicture* thumb;
    const CPicture* track;
    int trackOffset;
    SliderOrientation orientation;
    int travel;
    double value = 0.0;
    CMachine* machine = nullptr;
    int parameter = -1;
    bool dragging = false;
    int pressCoordinate = 0;
    double pressValue = 0.0;
};
