#pragma once
// CVolumeSliderView: the tool bar's master volume, a skinned horizontal
// slider (120 x 26, thumb and track from the host's skins) with the level
// beside it ("%.2fdB"). Moving it sets the master gain target that the
// audio callback glides towards. A double click puts it back at 0 dB; the
// mouse wheel moves it a decibel a notch.
//
// Threads: user-interface thread.

#include <functional>
#include <memory>

#include <QWidget>

#include "editors/VolumeSlider.h"
#include "gui/Picture.h"

class CLiteContainerView;
class CLiteSlider;
class QLabel;

class CVolumeSliderView : public QWidget {
public:
    static constexpr int kSliderWidth = 120;
    static constexpr int kSliderHeight = 26;

    /// target receives each new gain.
    explicit CVolumeSliderView(CVolumeSlider::GainTarget target, QWidget* parent = nullptr);
    ~CVolumeSliderView() override;

    /// Shows where the current gain puts the slider, without setting it.
    void ShowGain(double gain);
    /// As if the user dragged the thumb to position x (0 .. 1).
    void MoveTo(double position);

    /// Back to unity gain (0 dB).
    void ResetToUnity();
    /// Moves by whole decibels (wheel notches).
    void StepDb(double decibels);

    const CVolumeSlider& Model() const { return model; }
    CLiteContainerView* SliderView() const { return sliderView; }
    QLabel* Label() const { return label; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class CPanel;
    void Changed(double position);
    void ShowLabel();

    CVolumeSlider model;
    CPicture thumb;
    CPicture background;
    CPanel* panel = nullptr;           // owned by the view
    CLiteSlider* slider = nullptr;     // owned by the panel
    CLiteContainerView* sliderView = nullptr;
    QLabel* label = nullptr;
};
