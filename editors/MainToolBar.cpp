#include "editors/MainToolBar.h"

#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QSignalBlocker>
#include <QSpinBox>

#include "editors/PeakMeterView.h"
#include "editors/VolumeSliderView.h"

namespace {

constexpr int kButtonFramesResource = 143;
constexpr int kNewIcon = 147;
constexpr int kOpenIcon = 138;
constexpr int kSaveIcon = 141;

/// A picture (RGB or RGBA) as an image Qt can paint with its alpha.
QImage ToImage(const CPicture& picture, int top, int height)
{
    QImage image(picture.GetWidth(), height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < picture.GetWidth(); ++x) {
            const unsigned char* p = picture.PixelAt(x, top + y);
            const int alpha = picture.HasAlpha() ? p[3] : 255;
            image.setPixel(x, y, qRgba(p[0], p[1], p[2], alpha));
        }
    }
    return image;
}

CPicture LoadSkin(int id)
{
    CPicture picture;
    picture.LoadPNGResource(id);
    return picture;
}

QLabel* FieldLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignVCenter | Qt::AlignRight);
    return label;
}

} // namespace

CToolBarButton::CToolBarButton(const CPicture& strip, int iconResource, const QString& toolTip, QWidget* parent)
    : QAbstractButton(parent)
{
    for (int state = 0; state < 3; ++state)
        frames[state] = ToImage(strip, state * kSize, kSize);
    const CPicture iconPicture = LoadSkin(iconResource);
    icon = ToImage(iconPicture, 0, iconPicture.GetHeight());
    setFixedSize(kSize, kSize);
    setToolTip(toolTip);
    setFocusPolicy(Qt::NoFocus);
}

void CToolBarButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // Smooth scaling keeps the glyphs soft rather than blocky on HiDPI.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const int state = isDown() ? 2 : (hovered ? 1 : 0);
    painter.drawImage(rect(), frames[state]);
    const QRect iconArea((kSize - icon.width()) / 2, (kSize - icon.height()) / 2 + (isDown() ? 1 : 0), icon.width(),
                         icon.height());
    painter.drawImage(iconArea, icon);
}

void CToolBarButton::enterEvent(QEnterEvent* event)
{
    hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void CToolBarButton::leaveEvent(QEvent* event)
{
    hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}

CMainToolBar::CMainToolBar(Actions newActions, QWidget* parent)
    : QWidget(parent), actions(std::move(newActions)), buttonFrames(LoadSkin(kButtonFramesResource))
{
    setObjectName(QStringLiteral("MainToolBar"));
    setAttribute(Qt::WA_StyledBackground);
    setFixedHeight(kHeight);

    newButton = new CToolBarButton(buttonFrames, kNewIcon, QStringLiteral("New Project"), this);
    openButton = new CToolBarButton(buttonFrames, kOpenIcon, QStringLiteral("Open Project"), this);
    saveButton = new CToolBarButton(buttonFrames, kSaveIcon, QStringLiteral("Save Project"), this);
    connect(newButton, &QAbstractButton::clicked, this, [this] { actions.newProject(); });
    connect(openButton, &QAbstractButton::clicked, this, [this] { actions.openProject(); });
    connect(saveButton, &QAbstractButton::clicked, this, [this] { actions.saveProject(); });

    tempoField = new QDoubleSpinBox(this);
    tempoField->setRange(1.0, 1200.0);
    tempoField->setSingleStep(1.0);
    tempoField->setDecimals(1);
    tempoField->setToolTip(QStringLiteral("Beats Per Minute"));
    tempoField->setKeyboardTracking(false);
    tempoField->setFixedHeight(22);
    tempoField->setAlignment(Qt::AlignRight);
    connect(tempoField, &QDoubleSpinBox::valueChanged, this, [this](double value) { actions.tempo(value); });

    ticksField = new QSpinBox(this);
    ticksField->setRange(1, 64);
    ticksField->setSingleStep(1);
    ticksField->setToolTip(QStringLiteral("Ticks Per Beat"));
    ticksField->setKeyboardTracking(false);
    ticksField->setFixedHeight(22);
    ticksField->setAlignment(Qt::AlignRight);
    connect(ticksField, &QSpinBox::valueChanged, this, [this](int value) { actions.ticksPerBeat(value); });

    volume = new CVolumeSliderView([this](double gain) { actions.masterGain(gain); }, this);
    meter = new CPeakMeterView(this);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 0, 6, 0);
    layout->setSpacing(3);
    layout->addWidget(newButton);
    layout->addWidget(openButton);
    layout->addWidget(saveButton);
    layout->addSpacing(14);
    layout->addWidget(FieldLabel(QStringLiteral("BPM:"), this));
    layout->addWidget(tempoField);
    layout->addSpacing(10);
    layout->addWidget(FieldLabel(QStringLiteral("TPB:"), this));
    layout->addWidget(ticksField);
    layout->addSpacing(18);
    layout->addWidget(volume);
    layout->addSpacing(10);
    layout->addWidget(meter);
    layout->addStretch(1);
}

void CMainToolBar::ShowTempo(double beatsPerMinute, double ticksPerBeat)
{
    const QSignalBlocker blockTempo(tempoField);
    const QSignalBlocker blockTicks(ticksField);
    tempoField->setValue(beatsPerMinute);
    ticksField->setValue(static_cast<int>(ticksPerBeat));
}

void CMainToolBar::ShowMasterGain(double gain)
{
    volume->ShowGain(gain);
}
