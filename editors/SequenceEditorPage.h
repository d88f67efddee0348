#pragma once
// CSequenceEditorPage: the "Sequence Editor" tab. The tool bar (the
// selected track's pattern choice list, the Sequence Length box and the
// buttons "Play Pattern", "Record Song", "Stop Pattern", "Loop Pattern")
// above the song grid. Commands go to CSequenceEditor; the buttons show its
// state, which the audio thread may change (a song that ends releases
// "Play Pattern").
//
// Threads: user-interface thread, except RefreshFromDisplayThread.

#include <memory>

#include <QWidget>

class CDisplayPost;
class CHost;
class CSequenceEditor;
class CSequenceView;
class QComboBox;
class QScrollArea;
class QSpinBox;
class QToolButton;

class CSequenceEditorPage : public QWidget {
public:
    CSequenceEditorPage(CSequenceEditor& editor, CHost& host, QWidget* parent = nullptr);
    ~CSequenceEditorPage() override;

    /// Rebuilds the pattern list when the model's choices changed, and the
    /// grid when tracks or entries did.
    void SyncChoices();
    /// Display thread: asks for the cursor and the buttons to be shown.
    void RefreshFromDisplayThread();
    /// The song cursor and the buttons as the model has them now.
    void RefreshPlayState();

    CSequenceView* Grid() const { return grid; }
    QScrollArea* GridScroll() const { return scroll; }
    QComboBox* PatternList() const { return patternList; }
    QSpinBox* LengthBox() const { return lengthBox; }
    QToolButton* PlayButton() const { return playButton; }
    QToolButton* RecordButton() const { return recordButton; }
    QToolButton* StopButton() const { return stopButton; }
    QToolButton* LoopButton() const { return loopButton; }

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void FollowCursor(double ticks);

    CSequenceEditor& editor;
    std::unique_ptr<CDisplayPost> displayPost;
    CSequenceView* grid = nullptr;
    QScrollArea* scroll = nullptr;
    QComboBox* patternList = nullptr;
    QSpinBox* lengthBox = nullptr;
    QToolButton* playButton = nullptr;
    QToolButton* recordButton = nullptr;
    QToolButton* stopButton = nullptr;
    QToolButton* loopButton = nullptr;
    int shownTracks = -1;
    int shownLength = -1;
};
