#include "editors/MIDIDeviceGUIView.h"

#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QSignalBlocker>
#include <QTimer>

#include "editors/StudioStyle.h"
#include "gui/DialogServices.h"

namespace {

QFont PixelFont(int pixels)
{
    QFont font;
    font.setPixelSize(pixels);
    return font;
}

QComboBox* Combo(const char* name, int y, const char* caption, QWidget* parent)
{
    auto* label = new QLabel(QString::fromLatin1(caption), parent);
    label->setFont(PixelFont(12));
    label->setGeometry(8, y, 60, 24);
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setFont(PixelFont(12));
    combo->setGeometry(70, y, 162, 24);
    return combo;
}

} // namespace

CMIDIDeviceGUIView::CMIDIDeviceGUIView(std::unique_ptr<CMIDIDeviceGUI> guiModel, CMessageSink* sink, QWidget* parent)
    : QWidget(parent), model(std::move(guiModel)), messages(sink)
{
    setObjectName(QString::fromLatin1(model->Caption()));
    setWindowTitle(QString::fromLatin1(model->Caption()));
    setFixedSize(CMIDIDeviceGUI::kWidth, CMIDIDeviceGUI::kHeight);
    devices = Combo("DeviceCombo", 5, "Device:", this);
    channels = Combo("ChannelCombo", 35, "Channel:", this);
    for (const std::string& name : model->DeviceNames())
        devices->addItem(QString::fromStdString(name));
    for (const std::string& name : model->ChannelNames())
        channels->addItem(QString::fromStdString(name));
    devices->setPlaceholderText(devices->count() == 0 ? QStringLiteral("No MIDI devices") : QStringLiteral("None"));
    ShowChoices();
    model->Refresh();

    connect(devices, &QComboBox::activated, this, [this](int index) {
        const std::string failure = model->ChooseDevice(index);
        if (!failure.empty() && messages != nullptr)
            messages->ShowError(failure);
        ShowChoices();
    });
    connect(channels, &QComboBox::activated, this, [this](int index) {
        model->ChooseChannel(index);
        ShowChoices();
    });
    refresh = new QTimer(this);
    connect(refresh, &QTimer::timeout, this, &CMIDIDeviceGUIView::Refresh);
    refresh->start(kRefreshMs);
}

void CMIDIDeviceGUIView::ShowChoices()
{
    const QSignalBlocker quietDevices(devices);
    const QSignalBlocker quietChannels(channels);
    devices->setCurrentIndex(model->DeviceIndex());
    channels->setCurrentIndex(model->ChannelIndex());
}

void CMIDIDeviceGUIView::Refresh()
{
    if (model->Refresh())
        ShowChoices();
}

void CMIDIDeviceGUIView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QLinearGradient shade(0, 0, 0, height());
    shade.setColorAt(0, QColor(48, 52, 59));
    shade.setColorAt(1, studio_style::kPanelDark);
    painter.fillRect(rect(), shade);
}
