#pragma once
// CNoteView: the piano roll of the pattern editor. One column per tick and
// one row per note (16 pixels each, times the zoom). It turns pointer
// positions into ticks and rows for CPatternEditor, which applies every
// rule, and paints the current pattern: rows with their black keys, the
// beat and bar lines from the host's ticks per beat, notes shaded by
// velocity, the selection rectangle and the play cursor.
//
// Threads: user-interface thread.

#include <functional>

#include <QWidget>

class CPatternEditor;

class CNoteView : public QWidget {
public:
    static constexpr int kMaximumZoom = 8;

    explicit CNoteView(CPatternEditor& editor, QWidget* parent = nullptr);

    /// Horizontal and vertical magnification, 1 … 8.
    void SetZoom(int horizontal, int vertical);
    int HorizontalZoom() const { return zoomX; }
    int VerticalZoom() const { return zoomY; }
    int TickWidth() const;
    int RowHeight() const;
    /// The pointer's place in ticks, with the fraction the edge grips need.
    double TickPositionAt(int x) const;
    int TickAt(int x) const;
    int RowAt(int y) const;
    int XOfTick(double tick) const;
    int YOfRow(int row) const;

    /// The size follows the current pattern's ticks and the machine's rows.
    void UpdateExtent();
    /// Moves the drawn play cursor (ticks, −1 for none), repainting only
    /// the two strips it leaves and enters.
    void SetPlayCursor(double ticks);
    double PlayCursor() const { return cursorTicks; }
    /// The cell of the last press, where the keyboard's paste lands.
    int LastClickTick() const { return lastTick; }
    int LastClickRow() const { return lastRow; }

    /// Select Mode's right click: the menu at a global position.
    std::function<void(const QPoint& globalPosition)> onContextMenu;
    /// Ctrl+wheel and Shift+wheel: steps of horizontal or vertical zoom
    /// around a point of the widget.
    std::function<void(int horizontalSteps, int verticalSteps, const QPoint& at)> onZoom;
    /// A note was added, moved, resized or removed.
    std::function<void()> onEdited;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void PaintRows(class QPainter& painter, const QRect& area) const;
    void PaintColumns(QPainter& painter, const QRect& area) const;
    void PaintNotes(QPainter& painter, const QRect& area) const;
    void PaintSelection(QPainter& painter) const;
    void UpdateCursorStrip(double ticks);

    CPatternEditor& editor;
    int zoomX = 1;
    int zoomY = 1;
    double cursorTicks = -1.0;
    int lastTick = 0;
    int lastRow = 0;
    bool pressing = false;
};
