#pragma once
// CRecorderPanelView: the "HD Recorder" tab over the recorder panel model
// (CHDRecorder). A tool bar with the global "Record Stream" toggle, then
// one 42-pixel row per recorder track: its name and file labels, "Select
// File To Save To", the format, the volume knob, a level meter, the
// recorded time and the row's own "Record Stream" toggle.
//
// The rows belong to the model and go when their machines are deleted, so
// the view keeps no row pointer it would use later: each refresh looks the
// rows up again and rebuilds when the list changed.
//
// Threads: user-interface thread, except RefreshFromDisplayThread.

#include <memory>
#include <vector>

#include <QWidget>

class CDisplayPost;
class CFileChooser;
class CHDRecorder;
class CMessageSink;
class QToolButton;
class QVBoxLayout;

class CRecorderPanelView : public QWidget {
public:
    CRecorderPanelView(CHDRecorder& recorder, CFileChooser& chooser, CMessageSink& messages, QWidget* parent = nullptr);
    ~CRecorderPanelView() override;

    /// Rows again when tracks came or went; labels, toggles, meters and
    /// times as the model has them.
    void Refresh();
    void RefreshFromDisplayThread();
    int RowCount() const { return static_cast<int>(rows.size()); }
    QWidget* RowWidget(int index) const;
    QToolButton* GlobalToggle() const { return globalToggle; }

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    struct Row;
    void Rebuild();
    void ChooseFile(int index);
    void Report(const std::vector<std::string>& problems);

    CHDRecorder& recorder;
    CFileChooser& chooser;
    CMessageSink& messages;
    std::unique_ptr<CDisplayPost> displayPost;
    QToolButton* globalToggle = nullptr;
    QVBoxLayout* rowLayout = nullptr;
    std::vector<std::unique_ptr<Row>> rows;
    std::vector<const void*> shownRows;
};
