#include "editors/PianoRollHeaders.h"

#include <algorithm>
#include <cmath>

#include <QPainter>

#include "editors/EditorPalette.h"
#include "editors/NoteView.h"
#include "framework/Host.h"
#include "sequencing/Pattern.h"
#include "sequencing/PatternEditor.h"

using namespace editor_palette;

CPianoKeysView::CPianoKeysView(CPatternEditor& editor, const CNoteView& roll, QWidget* parent)
    : QWidget(parent), editor(editor), roll(roll)
{
    setFixedWidth(kWidth);
}

void CPianoKeysView::SetOffset(int pixels)
{
    if (pixels != offset) {
        offset = pixels;
        update();
    }
}

void CPianoKeysView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), studio_style::kPanelDark);
    const CPianoRollRows rows = editor.Rows();
    const int rowHeight = roll.RowHeight();
    const int first = std::max(0, offset / rowHeight);
    const int last = std::min(rows.RowCount() - 1, (offset + height()) / rowHeight);
    QFont font = painter.font();
    font.setPixelSize(std::min(11, rowHeight - 3));
    painter.setFont(font);
    for (int row = first; row <= last; ++row) {
        const QRect band(0, row * rowHeight - offset, width(), rowHeight);
        const bool black = rows.IsBlackKey(row);
        // Black keys stop short of the labels, as on a keyboard.
        painter.fillRect(band.adjusted(0, 0, -1, -1), black ? kBlackKey : kWhiteKey);
        if (black && !rows.HasTriggers())
            painter.fillRect(band.adjusted(width() * 3 / 5, 0, 0, -1), kWhiteKey);
        painter.setPen(QColor(90, 96, 104));
        painter.drawLine(band.left(), band.bottom(), band.right(), band.bottom());
        const int note = rows.NoteForRow(row);
        const bool labelled = rows.HasTriggers() || note % 12 == 0 || rowHeight >= 14;
        if (labelled && rowHeight >= 9) {
            painter.setPen(black ? studio_style::kText : QColor(20, 22, 25));
            const QString text = QString::fromStdString(rows.Label(row));
            painter.drawText(band.adjusted(4, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft, text);
        }
    }
    painter.setPen(studio_style::kPanelLight);
    painter.drawLine(width() - 1, 0, width() - 1, height());
}

CTickRuler::CTickRuler(CPatternEditor& editor, const CNoteView& roll, QWidget* parent)
    : QWidget(parent), editor(editor), roll(roll)
{
    setFixedHeight(kHeight);
}

void CTickRuler::SetOffset(int pixels)
{
    if (pixels != offset) {
        offset = pixels;
        update();
    }
}

void CTickRuler::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), studio_style::kPanelDark);
    const int ticksPerBeat = std::max(1, static_cast<int>(std::lround(editor.Host().GetTicksPerBeat())));
    const int tickWidth = roll.TickWidth();
    const CPattern* pattern = editor.CurrentPattern();
    const int tickCount = pattern != nullptr ? pattern->TickCount() : 0;
    const int first = std::max(0, offset / tickWidth);
    const int last = std::min(tickCount, (offset + width()) / tickWidth + 1);
    QFont font = painter.font();
    font.setPixelSize(10);
    painter.setFont(font);
    const int beatWidth = ticksPerBeat * tickWidth;
    for (int tick = first; tick <= last; ++tick) {
        const int x = tick * tickWidth - offset;
        const bool bar = tick % (ticksPerBeat * 4) == 0;
        const bool beat = tick % ticksPerBeat == 0;
        painter.setPen(bar ? studio_style::kText : (beat ? studio_style::kTextDim : kBeatLine));
        painter.drawLine(x, bar ? 0 : (beat ? height() / 2 : height() - 4), x, height());
        // "bar.beat", counted from 1; beats are labelled when there is room.
        if (tick < tickCount && (bar || (beat && beatWidth >= 40))) {
            const int beatIndex = tick / ticksPerBeat;
            const QString text = QStringLiteral("%1.%2").arg(beatIndex / 4 + 1).arg(beatIndex % 4 + 1);
            painter.drawText(x + 3, 1, 60, height() - 2, Qt::AlignTop | Qt::AlignLeft, bar ? QString::number(beatIndex / 4 + 1) : text);
        }
    }
    painter.setPen(studio_style::kPanelLight);
    painter.drawLine(0, height() - 1, width(), height() - 1);
}
