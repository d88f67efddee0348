#pragma once
// CSequenceView: the song's grid. A name column 196 pixels wide, then one
// column per unit of 4 ticks and one row per track, 16 pixels each. Clicks
// and drags go to CSequenceEditor as units and track rows; the view paints
// the tracks, their entries with the pattern names, the sequence's end and
// the song position cursor.
//
// Threads: user-interface thread.

#include <functional>

#include <QWidget>

class CHost;
class CSequenceEditor;

class CSequenceView : public QWidget {
public:
    CSequenceView(CSequenceEditor& editor, CHost& host, QWidget* parent = nullptr);

    /// The size follows the sequence's length and its tracks.
    void UpdateExtent();
    /// Moves the drawn song cursor (ticks) when it moved far enough to be
    /// drawn somewhere else; returns whether it repainted.
    bool SetSongPosition(double ticks);
    double DrawnSongPosition() const { return drawnTicks; }
    /// How many times the cursor was moved on screen.
    int CursorRedraws() const { return cursorRedraws; }

    /// A track was selected in the name column.
    std::function<void()> onTrackSelected;
    /// An entry was added, moved or removed.
    std::function<void()> onEdited;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void PaintNames(class QPainter& painter, const QRect& area) const;
    void PaintGrid(QPainter& painter, const QRect& area) const;
    void PaintEntries(QPainter& painter, const QRect& area) const;
    void UpdateCursorStrip(double ticks);

    CSequenceEditor& editor;
    CHost& host;
    double drawnTicks = 0.0;
    int cursorRedraws = 0;
    bool dragging = false;
};

/// The bar numbers above the grid, following its horizontal scrolling.
class CSongRuler : public QWidget {
public:
    static constexpr int kHeight = 20;

    CSongRuler(CSequenceEditor& editor, CHost& host, QWidget* parent = nullptr);
    void SetOffset(int pixels);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CSequenceEditor& editor;
    CHost& host;
    int offset = 0;
};
