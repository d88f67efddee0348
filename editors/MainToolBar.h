#pragma once
// CMainToolBar: the strip across the top of the main window, 30 pixels
// high: the New, Open and Save project buttons, the "BPM:" and "TPB:"
// fields, the master volume slider and the peak meter.
//
// Threads: user-interface thread.

#include <functional>

#include <QAbstractButton>
#include <QWidget>

#include "gui/Picture.h"

class CPeakMeterView;
class CVolumeSliderView;
class QDoubleSpinBox;
class QSpinBox;

/// A 20 x 20 tool bar button: the skin's frame for its state (normal,
/// hover, pressed) with the icon over it.
class CToolBarButton : public QAbstractButton {
public:
    static constexpr int kSize = 20;
    CToolBarButton(const CPicture& frames, int iconResource, const QString& toolTip, QWidget* parent);
    QSize sizeHint() const override { return QSize(kSize, kSize); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QImage frames[3];
    QImage icon;
    bool hovered = false;
};

class CMainToolBar : public QWidget {
public:
    static constexpr int kHeight = 30;

    struct Actions {
        std::function<void()> newProject, openProject, saveProject;
        std::function<void(double)> tempo, ticksPerBeat;
        std::function<void(double)> masterGain;
    };

    CMainToolBar(Actions actions, QWidget* parent = nullptr);

    /// Shows the host's values without calling the setters back.
    void ShowTempo(double beatsPerMinute, double ticksPerBeat);
    void ShowMasterGain(double gain);

    CToolBarButton* NewButton() const { return newButton; }
    CToolBarButton* OpenButton() const { return openButton; }
    CToolBarButton* SaveButton() const { return saveButton; }
    QDoubleSpinBox* TempoField() const { return tempoField; }
    QSpinBox* TicksPerBeatField() const { return ticksField; }
    CVolumeSliderView* VolumeSlider() const { return volume; }
    CPeakMeterView* PeakMeter() const { return meter; }

private:
    Actions actions;
    CPicture buttonFrames;
    CToolBarButton* newButton;
    CToolBarButton* openButton;
    CToolBarButton* saveButton;
    QDoubleSpinBox* tempoField;
    QSpinBox* ticksField;
    CVolumeSliderView* volume;
    CPeakMeterView* meter;
};
