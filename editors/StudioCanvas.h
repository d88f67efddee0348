#pragma once
// CStudioCanvas: the surface of the studio view. It paints the graph
// (background, cables under the boxes, triangles, boxes with their
// connectors, the cable being dragged) at the view's zoom and hands every
// mouse, wheel and key event to the view.
//
// Threads: user-interface thread.

#include <QFont>
#include <QWidget>

class CStudioView;

class CStudioCanvas : public QWidget {
public:
    explicit CStudioCanvas(CStudioView& view);

    /// The fonts boxes are painted in; the layout measures with the same.
    static QFont CaptionFont();
    static QFont PortNameFont();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void PaintCables(QPainter& painter);
    void PaintBox(QPainter& painter, const class CMachineContainer* box);
    void PaintConnector(QPainter& painter, const class CConnector* connector);

    CStudioView& view;
};
