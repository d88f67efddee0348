// The pattern editor page's view of time: zoom, scrolling to the notes and
// along with the play cursor, and the cursor itself as the display thread
// asks for it.

#include <algorithm>

#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>

#include "editors/DisplayPost.h"
#include "editors/NoteView.h"
#include "editors/PatternEditorPage.h"
#include "editors/ControlView.h"
#include "editors/PianoRollHeaders.h"
#include "sequencing/Pattern.h"
#include "sequencing/PatternEditor.h"

namespace {

constexpr int kMiddleC = 60;

} // namespace

void CPatternEditorPage::Zoom(int horizontalSteps, int verticalSteps)
{
    // Doubling and halving keeps every tick and row a whole number of
    // pixels; the tick under the view's centre stays where it was.
    auto stepped = [](int zoom, int steps) {
        for (; steps > 0; --steps)
            zoom = std::min(zoom * 2, CNoteView::kMaximumZoom);
        for (; steps < 0; ++steps)
            zoom = std::max(zoom / 2, 1);
        return zoom;
    };
    QScrollBar* horizontal = rollScroll->horizontalScrollBar();
    QScrollBar* vertical = rollScroll->verticalScrollBar();
    const double centreTick = roll->TickPositionAt(horizontal->value() + rollScroll->viewport()->width() / 2);
    const double centreRow = (vertical->value() + rollScroll->viewport()->height() / 2.0) / roll->RowHeight();
    roll->SetZoom(stepped(roll->HorizontalZoom(), horizontalSteps), stepped(roll->VerticalZoom(), verticalSteps));
    controls->UpdateExtent();
    keys->update();
    ruler->update();
    horizontal->setValue(roll->XOfTick(centreTick) - rollScroll->viewport()->width() / 2);
    vertical->setValue(static_cast<int>(centreRow * roll->RowHeight()) - rollScroll->viewport()->height() / 2);
}

void CPatternEditorPage::ScrollToNotes()
{
    const CPattern* pattern = editor.CurrentPattern();
    const CPianoRollRows rows = editor.Rows();
    int top = -1;
    int bottom = -1;
    if (pattern != nullptr) {
        for (const CNote* note = pattern->FirstNote(); note != nullptr; note = note->next) {
            const int row = rows.RowForNote(note->note);
            if (row < 0)
                continue;
            top = top < 0 ? row : std::min(top, row);
            bottom = std::max(bottom, row);
        }
    }
    if (top < 0) {
        top = rows.HasTriggers() ? 0 : std::max(0, rows.RowForNote(kMiddleC) - 12);
        bottom = rows.HasTriggers() ? 0 : rows.RowForNote(kMiddleC);
    }
    const int middle = (roll->YOfRow(top) + roll->YOfRow(bottom + 1)) / 2;
    rollScroll->verticalScrollBar()->setValue(middle - rollScroll->viewport()->height() / 2);
    rollScroll->horizontalScrollBar()->setValue(0);
}

void CPatternEditorPage::RefreshFromDisplayThread()
{
    displayPost->Post();
}

void CPatternEditorPage::RefreshPlayState()
{
    double cursor = -1.0;
    if (const CPattern* pattern = editor.CurrentPattern())
        cursor = editor.IsPlayButtonDown() ? pattern->PlayCursor() : pattern->SequenceCursor();
    roll->SetPlayCursor(cursor);
    if (playButton->isChecked() != editor.IsPlayButtonDown())
        playButton->setChecked(editor.IsPlayButtonDown());
    if (cursor >= 0.0)
        FollowCursor(cursor);
}

void CPatternEditorPage::FollowCursor(double ticks)
{
    // The page turns when the cursor leaves the visible part, so the
    // playing notes stay in view without the roll crawling under the eye.
    QScrollBar* horizontal = rollScroll->horizontalScrollBar();
    const int x = roll->XOfTick(ticks);
    const int left = horizontal->value();
    const int width = rollScroll->viewport()->width();
    if (x < left || x >= left + width)
        horizontal->setValue(x - width / 8);
}
