#pragma once
// CControlView: the control lanes under the piano roll, one per control
// track of the current pattern, 128 pixels high with the value in the top
// 114. Columns line up with the roll's ticks. Presses and drags go to
// CPatternEditor as a track, a tick and a value; while a point is dragged
// a tooltip shows the machine's text for its value. CControlLaneNames
// labels the lanes at the left, beside the roll's keys.
//
// Threads: user-interface thread.

#include <functional>

#include <QWidget>

class CNoteView;
class CPatternEditor;

class CControlView : public QWidget {
public:
    CControlView(CPatternEditor& editor, const CNoteView& roll, QWidget* parent = nullptr);

    /// Width from the roll, height from the number of lanes.
    void UpdateExtent();
    int LaneAt(int y) const;
    int TickAt(int x) const;
    /// The value a press at y in its lane gives.
    static float ValueAt(int y);
    /// The text shown while dragging, "" otherwise.
    QString DragText() const { return dragText; }
    std::function<void()> onEdited;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void ShowValueText(const QPoint& globalPosition);

    CPatternEditor& editor;
    const CNoteView& roll;
    bool dragging = false;
    int dragLane = 0;
    QString dragText;
};

class CControlLaneNames : public QWidget {
public:
    CControlLaneNames(CPatternEditor& editor, int width, QWidget* parent = nullptr);
    void SetOffset(int pixels);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CPatternEditor& editor;
    int offset = 0;
};
