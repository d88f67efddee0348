#pragma once
// CPatternEditorPage: the "Pattern Editor" tab. The tool bar (machine,
// port, pattern and property choices, the Note Length and Pattern Length
// boxes, the pattern and control-track commands, Edit Mode / Select Mode
// and the playback buttons) above the piano roll with its keys and ruler,
// and the control lanes below. Every command goes to CPatternEditor; the
// page only shows what the model holds and keeps its choice lists in step
// with it.
//
// Threads: user-interface thread, except RefreshFromDisplayThread.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QWidget>

class CControlLaneNames;
class CControlView;
class CDisplayPost;
class CNoteView;
class CPatternEditor;
class CPianoKeysView;
class CTickRuler;
class QAction;
class QComboBox;
class QMenu;
class QScrollArea;
class QSpinBox;
class QToolButton;

class CPatternEditorPage : public QWidget {
public:
    /// Asks for a text (title, label, current text); nothing when cancelled.
    using TextAsker = std::function<std::optional<std::string>(const std::string&, const std::string&, const std::string&)>;

    explicit CPatternEditorPage(CPatternEditor& editor, QWidget* parent = nullptr);
    ~CPatternEditorPage() override;

    /// The rename dialog; a Qt input dialog unless a test answers.
    void SetTextAsker(TextAsker asker) { askText = std::move(asker); }
    /// Another view changed the patterns (renamed, added): lists again.
    std::function<void()> onPatternsChanged;

    /// Rebuilds every choice list that no longer shows what the model
    /// holds (machines placed in the studio, a project opened, a rename).
    void SyncChoices();
    /// Display thread: asks for the play cursor and buttons to be shown.
    void RefreshFromDisplayThread();
    /// The play cursor and the play button as the model has them now.
    void RefreshPlayState();

    // Commands, as the tool bar and the menu give them.
    void AddPattern();
    void RemovePattern();
    void RenamePattern();
    void AddControlTrack();
    void RemoveControlTrack();
    void SetMode(bool select);
    void Zoom(int horizontalSteps, int verticalSteps);
    /// Scrolls the roll to the current pattern's notes, or to C-5.
    void ScrollToNotes();

    CNoteView* Roll() const { return roll; }
    CControlView* Controls() const { return controls; }
    QScrollArea* RollScroll() const { return rollScroll; }
    QComboBox* MachineList() const { return machineList; }
    QComboBox* PortList() const { return portList; }
    QComboBox* PatternList() const { return patternList; }
    QComboBox* PropertyList() const { return propertyList; }
    QSpinBox* NoteLengthBox() const { return noteLengthBox; }
    QSpinBox* PatternLengthBox() const { return patternLengthBox; }
    QToolButton* PlayButton() const { return playButton; }
    QToolButton* StopButton() const { return stopButton; }
    QToolButton* LoopButton() const { return loopButton; }
    QToolButton* EditModeButton() const { return editModeButton; }
    QToolButton* SelectModeButton() const { return selectModeButton; }
    /// Select Mode's menu, its entries greyed as the model says.
    QMenu* SelectionMenu();

protected:
    void timerEvent(QTimerEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QWidget* BuildToolBar();
    QWidget* BuildRollArea();
    void BuildShortcuts();
    void PatternContentChanged();
    void CurrentPatternChanged();
    void FollowCursor(double ticks);
    void PasteAtLastClick();

    CPatternEditor& editor;
    TextAsker askText;
    std::unique_ptr<CDisplayPost> displayPost;

    QComboBox* machineList = nullptr;
    QComboBox* portList = nullptr;
    QComboBox* patternList = nullptr;
    QComboBox* propertyList = nullptr;
    QSpinBox* noteLengthBox = nullptr;
    QSpinBox* patternLengthBox = nullptr;
    QToolButton* playButton = nullptr;
    QToolButton* stopButton = nullptr;
    QToolButton* loopButton = nullptr;
    QToolButton* editModeButton = nullptr;
    QToolButton* selectModeButton = nullptr;
    QMenu* selectionMenu = nullptr;

    CNoteView* roll = nullptr;
    CPianoKeysView* keys = nullptr;
    CTickRuler* ruler = nullptr;
    CControlView* controls = nullptr;
    CControlLaneNames* laneNames = nullptr;
    QScrollArea* rollScroll = nullptr;
    QScrollArea* controlScroll = nullptr;

    // Compared, never dereferenced: tells when the pattern changed.
    const void* shownPattern = nullptr;
    bool scrollWhenShown = false;
};
