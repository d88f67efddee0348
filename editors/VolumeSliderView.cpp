#include "editors/VolumeSliderView.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QWheelEvent>

#include "editors/StudioStyle.h"
#include "gui/LiteContainer.h"
#include "gui/LiteContainerView.h"
#include "gui/LiteSlider.h"

namespace {

constexpr int kThumbResource = 142;
constexpr int kTrackResource = 148;

CPicture LoadSkin(int id)
{
    CPicture picture;
    picture.LoadPNGResource(id);
    return picture;
}

} // namespace

/// The slider's panel: passes the thumb's moves on to the view.
class CVolumeSliderView::CPanel : public CLiteContainer {
public:
    CPanel(CVolumeSliderView& view, const CPicture* background)
        : CLiteContainer(kSliderWidth, kSliderHeight, background), view(view)
    {
    }
    void OnSliderPressed(CLiteSlider*, double value) override { view.Changed(value); }
    void OnSliderMoved(CLiteSlider*, double value) override { view.Changed(value); }

private:
    CVolumeSliderView& view;
};

CVolumeSliderView::CVolumeSliderView(CVolumeSlider::GainTarget target, QWidget* parent)
    : QWidget(parent), model(std::move(target)), thumb(LoadSkin(kThumbResource)),
      background(kSliderWidth, kSliderHeight, false)
{
    // The track is drawn once into the panel's own background, over the
    // tool bar's colour, so the thumb is the only moving part.
    const QColor ground = studio_style::kPanel;
    background.FillClipRect(MakeColorRef(ground.red(), ground.green(), ground.blue()));
    LoadSkin(kTrackResource).Draw(background, 0, 0);

    panel = new CPanel(*this, &background);
    const int travel = kSliderWidth - thumb.GetWidth();
    const int top = (kSliderHeight - thumb.GetHeight()) / 2;
    slider = new CLiteSlider(panel, 0, top, kSliderWidth, thumb.GetHeight(), &thumb, SliderOrientation::Horizontal,
                             travel);
    slider->SetValue(model.GetPosition());
    sliderView = new CLiteContainerView(panel, this, true);
    sliderView->setToolTip(QStringLiteral("Volume"));
    sliderView->installEventFilter(this);

    label = new QLabel(this);
    label->setObjectName(QStringLiteral("VolumeLabel"));
    // Wide enough for the longest label, "-34.00dB", in any font.
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("-34.00dB")) + 6);
    label->setToolTip(QStringLiteral("Volume"));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addWidget(sliderView);
    layout->addWidget(label);
    ShowLabel();
}

CVolumeSliderView::~CVolumeSliderView() = default;

void CVolumeSliderView::ShowGain(double gain)
{
    model.ShowGain(gain);
    slider->SetValue(model.GetPosition());
    panel->RedrawAll();
    ShowLabel();
}

void CVolumeSliderView::MoveTo(double position)
{
    slider->SetValue(position < 0.0 ? 0.0 : (position > 1.0 ? 1.0 : position));
    panel->RedrawAll();
    Changed(position);
}

void CVolumeSliderView::ResetToUnity()
{
    MoveTo(CVolumeSlider::PositionForGain(1.0));
}

void CVolumeSliderView::StepDb(double decibels)
{
    MoveTo(model.GetPosition() + decibels / CVolumeSlider::kRangeDb);
}

bool CVolumeSliderView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == sliderView && event->type() == QEvent::MouseButtonDblClick) {
        ResetToUnity();
        return true;
    }
    if (watched == sliderView && event->type() == QEvent::Wheel) {
        const int notches = static_cast<QWheelEvent*>(event)->angleDelta().y() / 120;
        if (notches != 0)
            StepDb(notches);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CVolumeSliderView::Changed(double position)
{
    model.SetPosition(position);
    ShowLabel();
}

void CVolumeSliderView::ShowLabel()
{
    label->setText(QString::fromStdString(model.GetLabel()));
}
