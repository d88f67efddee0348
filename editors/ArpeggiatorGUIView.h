#pragma once
// CArpeggiatorGUIView: the arpeggiator's editor window, 320 x 200: the tool
// bar's "TPB:" and "Length:" up-downs and the painted step grid. Every rule
// lives in CArpeggiatorGUI; this widget forwards the mouse and the boxes and
// paints. A timer takes the machine's state again, so a project loaded or
// the playing column moves the picture.
//
// Threads: user-interface thread.

#include <QWidget>

#include "machines/ArpeggiatorGUI.h"

class CArpeggiator;
class QSpinBox;
class QTimer;

class CArpeggiatorGUIView : public QWidget {
public:
    static constexpr int kRefreshMs = 40;

    CArpeggiatorGUIView(CArpeggiator& machine, QWidget* parent);

    CArpeggiatorGUI& Model() { return model; }
    QSpinBox* StepsPerBeatBox() const { return stepsPerBeat; }
    QSpinBox* LengthBox() const { return length; }
    /// Shows the machine's state now (the timer does it on its own).
    void Refresh();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void PaintToolBar(class QPainter& painter);
    void PaintGrid(class QPainter& painter);

    CArpeggiatorGUI model;
    QSpinBox* stepsPerBeat;
    QSpinBox* length;
    QTimer* refresh;
};
