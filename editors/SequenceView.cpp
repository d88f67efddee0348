#include "editors/SequenceView.h"

#include <algorithm>
#include <cmath>

#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>

#include "editors/EditorPalette.h"
#include "framework/Host.h"
#include "framework/Port.h"
#include "host/Connector.h"
#include "host/MachineContainer.h"
#include "sequencing/EditorGeometry.h"
#include "sequencing/Pattern.h"
#include "sequencing/PatternEditor.h"
#include "sequencing/SequenceEditor.h"

using namespace editor_palette;

namespace {

/// A bar is four beats; a unit is 4 ticks.
int UnitsPerBar(CHost& host)
{
    const double ticksPerBeat = std::max(1.0, host.GetTicksPerBeat());
    return std::max(1, static_cast<int>(std::lround(ticksPerBeat * 4 / CPattern::kTicksPerUnit)));
}

constexpr int kUnit = CEditorGeometry::kPixelsPerUnit;
constexpr int kTrack = CEditorGeometry::kPixelsPerTrack;
constexpr int kNames = CEditorGeometry::kNameColumnWidth;

QString TrackName(const CSequenceTrack& track)
{
    const CConnector* port = track.Target();
    if (port == nullptr)
        return QString();
    const QString machine = port->owner != nullptr ? QString::fromStdString(port->owner->GetName()) : QString();
    // The port is a packed record: copy the name pointer out before use.
    const char* portName = port->port->name;
    return QStringLiteral("%1 \u00b7 %2").arg(machine, QString::fromUtf8(portName));
}

} // namespace

CSequenceView::CSequenceView(CSequenceEditor& editor, CHost& host, QWidget* parent)
    : QWidget(parent), editor(editor), host(host)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    UpdateExtent();
}

void CSequenceView::UpdateExtent()
{
    const CSequence& sequence = editor.Sequence();
    setFixedSize(CEditorGeometry::XOfUnit(sequence.Length()) + 1, std::max(1, sequence.TrackCount() * kTrack));
    update();
}

bool CSequenceView::SetSongPosition(double ticks)
{
    if (!CEditorGeometry::SongCursorNeedsRedraw(drawnTicks, ticks))
        return false;
    UpdateCursorStrip(drawnTicks);
    drawnTicks = ticks;
    UpdateCursorStrip(drawnTicks);
    ++cursorRedraws;
    return true;
}

void CSequenceView::UpdateCursorStrip(double ticks)
{
    update(CEditorGeometry::XOfSongPosition(ticks) - 1, 0, 3, height());
}

void CSequenceView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect area = event->rect();
    PaintGrid(painter, area);
    PaintEntries(painter, area);
    PaintNames(painter, area);
    painter.setPen(QPen(kPlayCursor, 2));
    const int x = CEditorGeometry::XOfSongPosition(drawnTicks);
    painter.drawLine(x, area.top(), x, area.bottom());
}

void CSequenceView::PaintNames(QPainter& painter, const QRect& area) const
{
    if (area.left() >= kNames)
        return;
    const CSequence& sequence = editor.Sequence();
    painter.fillRect(QRect(0, area.top(), kNames, area.height()), studio_style::kPanelDark);
    QFont font = painter.font();
    font.setPixelSize(11);
    painter.setFont(font);
    for (int index = 0; index < sequence.TrackCount(); ++index) {
        const QRect band(0, index * kTrack, kNames - 1, kTrack);
        const bool selected = index == editor.SelectedTrackIndex();
        if (selected)
            painter.fillRect(band, kSelectedTrack);
        painter.setPen(selected ? studio_style::kAccentBright : studio_style::kText);
        const QString text = painter.fontMetrics().elidedText(TrackName(*sequence.Track(index)), Qt::ElideRight, kNames - 12);
        painter.drawText(band.adjusted(6, 0, -6, 0), Qt::AlignVCenter | Qt::AlignLeft, text);
        painter.setPen(kTickLine);
        painter.drawLine(0, band.bottom(), kNames - 1, band.bottom());
    }
    painter.setPen(studio_style::kPanelLight);
    painter.drawLine(kNames - 1, area.top(), kNames - 1, area.bottom());
}

void CSequenceView::PaintGrid(QPainter& painter, const QRect& area) const
{
    const CSequence& sequence = editor.Sequence();
    painter.fillRect(area, kGridBackground);
    for (int index = 0; index < sequence.TrackCount(); ++index) {
        const QRect band(kNames, index * kTrack, width() - kNames, kTrack);
        if (index == editor.SelectedTrackIndex())
            painter.fillRect(band, kSelectedTrack);
        else if (index % 2 == 1)
            painter.fillRect(band, kBlackKeyRow);
    }
    const int unitsPerBar = UnitsPerBar(host);
    const int first = std::max(0, CEditorGeometry::UnitAt(std::max(area.left(), kNames)));
    const int last = std::min(sequence.Length(), CEditorGeometry::UnitAt(area.right()) + 1);
    for (int unit = first; unit <= last; ++unit) {
        painter.setPen(unit % unitsPerBar == 0 ? kBarLine : kTickLine);
        const int x = CEditorGeometry::XOfUnit(unit);
        painter.drawLine(x, area.top(), x, area.bottom());
    }
    painter.setPen(QPen(kPatternEnd, 2));
    const int end = CEditorGeometry::XOfUnit(sequence.Length()) - 1;
    painter.drawLine(end, area.top(), end, area.bottom());
}

void CSequenceView::PaintEntries(QPainter& painter, const QRect& area) const
{
    const CSequence& sequence = editor.Sequence();
    QFont font = painter.font();
    font.setPixelSize(10);
    painter.setFont(font);
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (int index = 0; index < sequence.TrackCount(); ++index) {
        for (const auto& entry : sequence.Track(index)->Entries()) {
            const QRect box(CEditorGeometry::XOfUnit(entry->position) + 1, index * kTrack + 1,
                            entry->pattern->Length() * kUnit - 2, kTrack - 2);
            if (!box.intersects(area))
                continue;
            const bool dragged = entry.get() == editor.DraggedEntry();
            painter.setPen(dragged ? QColor(Qt::white) : kNoteBorder);
            painter.setBrush(kEntryFill);
            painter.drawRoundedRect(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
            painter.setPen(Qt::white);
            const QString name = painter.fontMetrics().elidedText(QString::fromStdString(entry->pattern->Name()),
                                                                  Qt::ElideRight, box.width() - 6);
            painter.drawText(box.adjusted(4, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft, name);
        }
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
}

void CSequenceView::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    const int track = CEditorGeometry::TrackAt(at.y());
    if (track < 0 || track >= editor.Sequence().TrackCount())
        return;
    if (CEditorGeometry::InNameColumn(at.x())) {
        if (event->button() == Qt::LeftButton) {
            editor.SelectTrack(track);
            update();
            if (onTrackSelected)
                onTrackSelected();
        }
        return;
    }
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)
        return;
    const MouseButton button = event->button() == Qt::RightButton ? MouseButton::Right : MouseButton::Left;
    editor.PressGrid(CEditorGeometry::UnitAt(at.x()), track, button);
    dragging = button == MouseButton::Left && editor.DraggedEntry() != nullptr;
    update();
    if (onEdited)
        onEdited();
}

void CSequenceView::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragging)
        return;
    editor.DragGrid(CEditorGeometry::UnitAt(event->position().toPoint().x()));
    update();
}

void CSequenceView::mouseReleaseEvent(QMouseEvent* event)
{
    if (!dragging || event->button() != Qt::LeftButton)
        return;
    dragging = false;
    editor.ReleaseGrid();
    update();
    if (onEdited)
        onEdited();
}

CSongRuler::CSongRuler(CSequenceEditor& editor, CHost& host, QWidget* parent)
    : QWidget(parent), editor(editor), host(host)
{
    setFixedHeight(kHeight);
}

void CSongRuler::SetOffset(int pixels)
{
    if (pixels != offset) {
        offset = pixels;
        update();
    }
}

void CSongRuler::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), studio_style::kPanelDark);
    QFont font = painter.font();
    font.setPixelSize(10);
    painter.setFont(font);
    const int unitsPerBar = UnitsPerBar(host);
    const int length = editor.Sequence().Length();
    for (int unit = 0; unit <= length; unit += unitsPerBar) {
        const int x = CEditorGeometry::XOfUnit(unit) - offset;
        if (x + 60 < 0 || x > width())
            continue;
        painter.setPen(studio_style::kTextDim);
        painter.drawLine(x, height() / 2, x, height());
        if (unit < length)
            painter.drawText(x + 3, 1, 60, height() - 2, Qt::AlignTop | Qt::AlignLeft, QString::number(unit / unitsPerBar + 1));
    }
    // The name column's header stays put over the names.
    const int names = std::max(0, kNames - offset);
    if (names > 0) {
        painter.fillRect(0, 0, names, height(), studio_style::kPanelDark);
        painter.setPen(studio_style::kTextDim);
        painter.drawText(QRect(6, 0, names - 12, height()), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Track"));
    }
    painter.setPen(studio_style::kPanelLight);
    painter.drawLine(0, height() - 1, width(), height() - 1);
}
