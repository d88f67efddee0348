#include "editors/CableVolumeSlider.h"

#include <cmath>

#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

#include "host/CableVolume.h"

CCableVolumeSlider::CCableVolumeSlider(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("CableVolumeSlider"));
    setStyleSheet(QStringLiteral(
        "#CableVolumeSlider { background: #26292e; border: 1px solid #00bbff; border-radius: 3px; }"
        "QLabel { color: #e2e8ee; font-size: 7pt; }"
        "QSlider::groove:vertical { width: 4px; background: #101113; border-radius: 2px; }"
        "QSlider::add-page:vertical { background: #0096cc; border-radius: 2px; }"
        "QSlider::handle:vertical { height: 9px; margin: 0 -6px; border-radius: 3px; background: #d6dce2; }"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 4, 2, 2);
    layout->setSpacing(2);
    slider = new QSlider(Qt::Vertical, this);
    slider->setRange(0, kSteps);
    level = new QLabel(this);
    level->setAlignment(Qt::AlignCenter);
    layout->addWidget(slider, 1, Qt::AlignHCenter);
    layout->addWidget(level);
    resize(kWidth + 10, kHeight);
    hide();
    connect(slider, &QSlider::valueChanged, this, [this] {
        ShowLevel();
        if (onMoved)
            onMoved(Position());
    });
}

double CCableVolumeSlider::Position() const
{
    return static_cast<double>(slider->value()) / kSteps;
}

void CCableVolumeSlider::ShowAt(QPoint centre, double position, std::function<void(double)> moved)
{
    onMoved = nullptr;
    slider->setValue(static_cast<int>(std::lround(position * kSteps)));
    ShowLevel();
    onMoved = std::move(moved);
    move(centre.x() - width() / 2, centre.y() - height() / 2);
    show();
    raise();
}

void CCableVolumeSlider::Dismiss()
{
    onMoved = nullptr;
    hide();
}

void CCableVolumeSlider::ShowLevel()
{
    const double db = 10.0 * std::log10(CableGainFromPosition(Position()));
    level->setText(QString::number(db, 'f', db > -10.0 ? 1 : 0));
}

void CCableVolumeSlider::leaveEvent(QEvent*)
{
    if (!slider->isSliderDown())
        Dismiss();
}
