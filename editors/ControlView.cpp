#include "editors/ControlView.h"

#include <algorithm>

#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QToolTip>

#include "editors/EditorPalette.h"
#include "editors/NoteView.h"
#include "sequencing/EditorGeometry.h"
#include "sequencing/Pattern.h"
#include "sequencing/PatternEditor.h"

using namespace editor_palette;

namespace {

constexpr int kLane = CEditorGeometry::kLaneHeight;
constexpr int kValueHeight = CEditorGeometry::kLaneValueHeight;

/// The lane's name: the property choice whose id the track carries.
QString LaneName(const CPatternEditor& editor, const CControlTrack& track)
{
    for (const auto& choice : editor.PropertyChoices())
        if (choice.propertyId == track.PropertyId())
            return QString::fromStdString(choice.name);
    return QStringLiteral("Property %1").arg(track.PropertyId());
}

} // namespace

CControlView::CControlView(CPatternEditor& editor, const CNoteView& roll, QWidget* parent)
    : QWidget(parent), editor(editor), roll(roll)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    UpdateExtent();
}

void CControlView::UpdateExtent()
{
    const CPattern* pattern = editor.CurrentPattern();
    const int lanes = pattern != nullptr ? pattern->ControlTrackCount() : 0;
    // Without lanes the strip keeps one lane's height for its hint.
    setFixedSize(roll.width(), std::max(1, lanes) * kLane);
    update();
}

int CControlView::LaneAt(int y) const
{
    return CEditorGeometry::LaneAt(y);
}

int CControlView::TickAt(int x) const
{
    return roll.TickAt(x);
}

float CControlView::ValueAt(int y)
{
    return CEditorGeometry::ValueAt(y - CEditorGeometry::LaneAt(y) * kLane);
}

void CControlView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect area = event->rect();
    painter.fillRect(area, kBlackKeyRow);
    const CPattern* pattern = editor.CurrentPattern();
    if (pattern == nullptr)
        return;
    if (pattern->ControlTrackCount() == 0) {
        // An empty strip says how to fill it rather than looking broken.
        painter.setPen(studio_style::kTextDim);
        const QRect visible = visibleRegion().boundingRect();
        painter.drawText(visible.adjusted(12, 8, -12, -8), Qt::AlignLeft | Qt::AlignTop,
                         QStringLiteral("No control lanes: choose a property and press \"Add Control Track\"."));
        return;
    }
    const int tickWidth = roll.TickWidth();
    const int firstTick = std::max(0, roll.TickAt(area.left()));
    const int lastTick = std::min(pattern->TickCount() - 1, roll.TickAt(area.right()));
    for (int lane = 0; lane < pattern->ControlTrackCount(); ++lane) {
        const int top = lane * kLane;
        if (top > area.bottom() || top + kLane < area.top())
            continue;
        const CControlTrack& track = *pattern->ControlTrack(lane);
        painter.fillRect(QRect(area.left(), top, area.width(), kValueHeight), kGridBackground);
        painter.setPen(kTickLine);
        painter.drawLine(area.left(), top + kValueHeight / 2, area.right(), top + kValueHeight / 2);
        for (int tick = firstTick; tick <= lastTick; ++tick) {
            const int x = tick * tickWidth;
            painter.setPen(kTickLine);
            painter.drawLine(x, top, x, top + kValueHeight);
            if (!track.IsSet(tick))
                continue;
            const int y = top + CEditorGeometry::YOfValue(track.Point(tick).value);
            const QRect bar(x + 2, y, std::max(2, tickWidth - 4), top + kValueHeight - y);
            painter.fillRect(bar, NoteColour(track.Point(tick).value));
            painter.fillRect(QRect(x + 1, y - 1, std::max(3, tickWidth - 2), 3), kNoteBorder);
        }
        painter.setPen(kBarLine);
        painter.drawLine(area.left(), top + kLane - 1, area.right(), top + kLane - 1);
    }
}

void CControlView::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)
        return;
    const int yInLane = at.y() - LaneAt(at.y()) * kLane;
    if (yInLane >= kValueHeight && event->button() == Qt::LeftButton)
        return;   // the gap between lanes
    const MouseButton button = event->button() == Qt::RightButton ? MouseButton::Right : MouseButton::Left;
    editor.PressControl(LaneAt(at.y()), TickAt(at.x()), ValueAt(at.y()), button);
    dragging = button == MouseButton::Left;
    dragLane = LaneAt(at.y());
    dragText = QString::fromStdString(editor.ControlText());
    if (dragging && !dragText.isEmpty())
        ShowValueText(event->globalPosition().toPoint());
    update();
    if (onEdited)
        onEdited();
}

void CControlView::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragging)
        return;
    const QPoint at = event->position().toPoint();
    // The value follows the pointer measured in the lane where the drag
    // began, so leaving the lane pins it at 0 or 1 instead of wrapping.
    editor.DragControl(CEditorGeometry::ValueAt(at.y() - dragLane * kLane));
    dragText = QString::fromStdString(editor.ControlText());
    if (!dragText.isEmpty())
        ShowValueText(event->globalPosition().toPoint());
    update();
}

void CControlView::mouseReleaseEvent(QMouseEvent* event)
{
    if (!dragging || event->button() != Qt::LeftButton)
        return;
    dragging = false;
    editor.ReleaseControl();
    dragText.clear();
    QToolTip::hideText();
    update();
}

void CControlView::ShowValueText(const QPoint& globalPosition)
{
    QToolTip::showText(globalPosition + QPoint(12, -24), dragText, this);
}

CControlLaneNames::CControlLaneNames(CPatternEditor& editor, int width, QWidget* parent)
    : QWidget(parent), editor(editor)
{
    setFixedWidth(width);
}

void CControlLaneNames::SetOffset(int pixels)
{
    if (pixels != offset) {
        offset = pixels;
        update();
    }
}

void CControlLaneNames::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), studio_style::kPanelDark);
    const CPattern* pattern = editor.CurrentPattern();
    if (pattern == nullptr)
        return;
    QFont font = painter.font();
    font.setPixelSize(11);
    painter.setFont(font);
    for (int lane = 0; lane < pattern->ControlTrackCount(); ++lane) {
        const int top = lane * kLane - offset;
        painter.setPen(studio_style::kText);
        painter.drawText(QRect(4, top + 4, width() - 8, kValueHeight - 8), Qt::AlignTop | Qt::AlignLeft | Qt::TextWordWrap,
                         LaneName(editor, *pattern->ControlTrack(lane)));
        painter.setPen(studio_style::kTextDim);
        painter.drawText(QRect(4, top, width() - 8, kValueHeight), Qt::AlignBottom | Qt::AlignLeft, QStringLiteral("0"));
        painter.drawText(QRect(4, top + 18, width() - 8, 20), Qt::AlignTop | Qt::AlignRight, QStringLiteral("1"));
        painter.setPen(kBarLine);
        painter.drawLine(0, top + kLane - 1, width(), top + kLane - 1);
    }
}
