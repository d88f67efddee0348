#pragma once
// CCableVolumeSlider: the small vertical slider that appears at a cable's
// triangle and sets that cable's gain (90 decibels of travel, the bottom
// 10^-9). It closes when it loses the pointer's attention or the cable goes.
//
// Threads: user-interface thread.

#include <functional>

#include <QFrame>

class QLabel;
class QSlider;

class CCableVolumeSlider : public QFrame {
public:
    static constexpr int kSteps = 900;   // a tenth of a decibel each
    static constexpr int kWidth = 30;
    static constexpr int kHeight = 120;

    explicit CCableVolumeSlider(QWidget* parent);

    /// Shows the slider centred on the point (parent coordinates) at the
    /// position; moves report through the handler.
    void ShowAt(QPoint centre, double position, std::function<void(double)> moved);
    void Dismiss();
    QSlider* Slider() const { return slider; }
    double Position() const;

protected:
    void leaveEvent(QEvent* event) override;

private:
    void ShowLevel();

    QSlider* slider;
    QLabel* level;
    std::function<void(double)> onMoved;
};
