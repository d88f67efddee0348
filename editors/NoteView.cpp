#include "editors/NoteView.h"

#include <algorithm>
#include <cmath>

#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QWheelEvent>

#include "editors/EditorPalette.h"
#include "framework/Host.h"
#include "sequencing/ControlTrack.h"
#include "sequencing/EditorGeometry.h"
#include "sequencing/Pattern.h"
#include "sequencing/PatternEditor.h"

namespace {

using namespace editor_palette;

int TicksPerBeat(const CPatternEditor& editor)
{
    const double ticks = editor.Host().GetTicksPerBeat();
    return std::max(1, static_cast<int>(std::lround(ticks)));
}

MouseButton ButtonOf(const QMouseEvent* event)
{
    return event->button() == Qt::RightButton ? MouseButton::Right : MouseButton::Left;
}

} // namespace

CNoteView::CNoteView(CPatternEditor& editor, QWidget* parent) : QWidget(parent), editor(editor)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
    setFocusPolicy(Qt::ClickFocus);
    UpdateExtent();
}

void CNoteView::SetZoom(int horizontal, int vertical)
{
    zoomX = std::clamp(horizontal, 1, kMaximumZoom);
    zoomY = std::clamp(vertical, 1, kMaximumZoom);
    UpdateExtent();
    update();
}

int CNoteView::TickWidth() const
{
    return CEditorGeometry::kPixelsPerTick * zoomX;
}

int CNoteView::RowHeight() const
{
    return CEditorGeometry::kPixelsPerRow * zoomY;
}

double CNoteView::TickPositionAt(int x) const
{
    return static_cast<double>(x) / TickWidth();
}

int CNoteView::TickAt(int x) const
{
    return static_cast<int>(std::floor(TickPositionAt(x)));
}

int CNoteView::RowAt(int y) const
{
    return static_cast<int>(std::floor(static_cast<double>(y) / RowHeight()));
}

int CNoteView::XOfTick(double tick) const
{
    return static_cast<int>(std::floor(tick * TickWidth()));
}

int CNoteView::YOfRow(int row) const
{
    return row * RowHeight();
}

void CNoteView::UpdateExtent()
{
    const CPattern* pattern = editor.CurrentPattern();
    const int ticks = pattern != nullptr ? pattern->TickCount() : 0;
    const int rows = editor.Rows().RowCount();
    setFixedSize(std::max(1, ticks * TickWidth()), std::max(1, rows * RowHeight()));
    update();
}

void CNoteView::SetPlayCursor(double ticks)
{
    if (ticks == cursorTicks)
        return;
    const bool moved = ticks < 0.0 || cursorTicks < 0.0 || XOfTick(ticks) != XOfTick(cursorTicks);
    if (!moved) {
        cursorTicks = ticks;
        return;
    }
    UpdateCursorStrip(cursorTicks);
    cursorTicks = ticks;
    UpdateCursorStrip(cursorTicks);
}

void CNoteView::UpdateCursorStrip(double ticks)
{
    if (ticks >= 0.0)
        update(XOfTick(ticks) - 1, 0, 3, height());
}

void CNoteView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect area = event->rect();
    PaintRows(painter, area);
    PaintColumns(painter, area);
    PaintNotes(painter, area);
    PaintSelection(painter);
    if (cursorTicks >= 0.0) {
        painter.setPen(QPen(kPlayCursor, 2));
        const int x = XOfTick(cursorTicks);
        painter.drawLine(x, area.top(), x, area.bottom());
    }
}

void CNoteView::PaintRows(QPainter& painter, const QRect& area) const
{
    const CPianoRollRows rows = editor.Rows();
    painter.fillRect(area, kGridBackground);
    const int first = std::max(0, RowAt(area.top()));
    const int last = std::min(rows.RowCount() - 1, RowAt(area.bottom()));
    for (int row = first; row <= last; ++row) {
        const QRect band(area.left(), YOfRow(row), area.width(), RowHeight());
        if (rows.IsBlackKey(row))
            painter.fillRect(band, kBlackKeyRow);
        // The line under each B and under every row of trigger machines
        // lets the eye find octaves.
        const int note = rows.NoteForRow(row);
        const bool octave = !rows.HasTriggers() && note % 12 == 0;
        painter.setPen(octave ? kOctaveLine : kTickLine);
        painter.drawLine(area.left(), band.bottom(), area.right(), band.bottom());
    }
}

void CNoteView::PaintColumns(QPainter& painter, const QRect& area) const
{
    const int ticksPerBeat = TicksPerBeat(editor);
    const int ticksPerBar = ticksPerBeat * 4;
    const int first = std::max(0, TickAt(area.left()));
    const int last = TickAt(area.right()) + 1;
    for (int tick = first; tick <= last; ++tick) {
        const QColor colour = tick % ticksPerBar == 0 ? kBarLine : (tick % ticksPerBeat == 0 ? kBeatLine : kTickLine);
        painter.setPen(colour);
        const int x = tick * TickWidth();
        painter.drawLine(x, area.top(), x, area.bottom());
    }
    if (const CPattern* pattern = editor.CurrentPattern()) {
        painter.setPen(QPen(kPatternEnd, 2));
        const int end = pattern->TickCount() * TickWidth() - 1;
        painter.drawLine(end, area.top(), end, area.bottom());
    }
}

void CNoteView::PaintNotes(QPainter& painter, const QRect& area) const
{
    const CPattern* pattern = editor.CurrentPattern();
    if (pattern == nullptr)
        return;
    const CPianoRollRows rows = editor.Rows();
    const CControlTrack* velocity = pattern->VelocityTrack();
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (const CNote* note = pattern->FirstNote(); note != nullptr; note = note->next) {
        const int row = rows.RowForNote(note->note);
        if (row < 0)
            continue;
        const QRect box(XOfTick(note->start) + 1, YOfRow(row) + 1, note->length * TickWidth() - 2, RowHeight() - 2);
        if (!box.intersects(area))
            continue;
        float value = kDefaultNoteVelocity;
        if (velocity != nullptr && velocity->IsSet(note->start))
            value = velocity->Point(note->start).value;
        const bool dragged = note == editor.DraggedNote();
        painter.setPen(QPen(dragged ? QColor(Qt::white) : kNoteBorder, 1));
        painter.setBrush(NoteColour(value));
        painter.drawRoundedRect(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5), 2.5, 2.5);
        // A velocity bar along the bottom reads quicker than the shade.
        const int barWidth = static_cast<int>(std::lround(value * (box.width() - 4)));
        if (box.height() >= 8 && barWidth > 0)
            painter.fillRect(box.left() + 2, box.bottom() - 2, barWidth, 2, kNoteBorder);
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
}

void CNoteView::PaintSelection(QPainter& painter) const
{
    const auto& selection = editor.Selection();
    if (!selection.has_value())
        return;
    const QRect box(QPoint(XOfTick(selection->firstTick), YOfRow(selection->firstRow)),
                    QPoint(XOfTick(selection->lastTick + 1) - 1, YOfRow(selection->lastRow + 1) - 1));
    painter.setPen(QPen(kSelectionBorder, 1, Qt::DashLine));
    painter.setBrush(kSelection);
    painter.drawRect(box);
}

void CNoteView::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    lastTick = TickAt(at.x());
    lastRow = RowAt(at.y());
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)
        return;
    if (event->button() == Qt::RightButton && editor.Mode() == PianoRollMode::Select) {
        if (onContextMenu)
            onContextMenu(event->globalPosition().toPoint());
        return;
    }
    editor.PressNote(TickPositionAt(at.x()), lastRow, ButtonOf(event));
    pressing = event->button() == Qt::LeftButton;
    update();
    if (onEdited)
        onEdited();
}

void CNoteView::mouseMoveEvent(QMouseEvent* event)
{
    if (!pressing)
        return;
    const QPoint at = event->position().toPoint();
    editor.DragNote(TickPositionAt(at.x()), RowAt(at.y()));
    update();
}

void CNoteView::mouseReleaseEvent(QMouseEvent* event)
{
    if (!pressing || event->button() != Qt::LeftButton)
        return;
    pressing = false;
    editor.ReleaseNote();
    update();
    if (onEdited)
        onEdited();
}

void CNoteView::wheelEvent(QWheelEvent* event)
{
    // Some platforms turn Shift+wheel into a horizontal wheel.
    const int delta = event->angleDelta().y() != 0 ? event->angleDelta().y() : event->angleDelta().x();
    const int steps = delta > 0 ? 1 : (delta < 0 ? -1 : 0);
    const bool control = event->modifiers() & Qt::ControlModifier;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    if ((control || shift) && steps != 0 && onZoom) {
        onZoom(control ? steps : 0, shift ? steps : 0, event->position().toPoint());
        event->accept();
        return;
    }
    event->ignore();
}
