#include "editors/DriverOptionsPage.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/Application.h"
#include "app/DriverManager.h"
#include "drivers/ASIODriver.h"
#include "drivers/NullDriver.h"
#include "drivers/WaveOutDriver.h"
#include "gui/DialogServices.h"
#include "framework/Error.h"
#include "host/AppOptions.h"

namespace {

// Every format flag bit: five rates, four layouts each.
constexpr int kFormatBits = 20;

void AddBufferSizes(QComboBox* list, int from, int to, int step, int current)
{
    for (int size = from; size <= to; size += step) {
        list->addItem(QStringLiteral("%1 samples").arg(size), size);
        if (size == current)
            list->setCurrentIndex(list->count() - 1);
    }
}

} // namespace

CDriverOptionsPage::CDriverOptionsPage(CApplication& application, CMessageSink& messages, QWidget* parent)
    : QWidget(parent), application(application), messages(messages)
{
    driverList = new QComboBox(this);
    CDriverManager& drivers = application.Drivers();
    for (int index = 0; index < CDriverManager::kDriverCount; ++index)
        driverList->addItem(QString::fromUtf8(drivers.Driver(index)->GetName()), index);
    availability = new QLabel(this);

    deviceLabel = new QLabel(QStringLiteral("Device:"), this);
    deviceList = new QComboBox(this);
    bufferList = new QComboBox(this);
    formatList = new QComboBox(this);
    for (QComboBox* list : {driverList, deviceList, bufferList, formatList})
        list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    asioInfo = new QLabel(this);
    asioInfo->setWordWrap(true);
    applyButton = new QPushButton(QStringLiteral("Apply"), this);

    form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    form->addRow(QStringLiteral("Output Driver:"), driverList);
    form->addRow(QString(), availability);
    form->addRow(deviceLabel, deviceList);
    form->addRow(QStringLiteral("Buffer Size:"), bufferList);
    form->addRow(QStringLiteral("Format:"), formatList);
    form->addRow(QString(), asioInfo);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(applyButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch(1);
    layout->addLayout(buttons);

    connect(driverList, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!loading)
            ChooseDriver(index);
    });
    connect(deviceList, &QComboBox::currentIndexChanged, this, [this](int) {
        if (!loading)
            FillFormats();
    });
    connect(applyButton, &QPushButton::clicked, this, [this] { ApplySettings(); });
    Reload();
}

void CDriverOptionsPage::Reload()
{
    loading = true;
    {
        const QSignalBlocker block(driverList);
        driverList->setCurrentIndex(application.Drivers().CurrentIndex());
    }
    ShowDriver(application.Drivers().CurrentIndex());
    loading = false;
}

void CDriverOptionsPage::ChooseDriver(int index)
{
    if (index < 0 || index >= CDriverManager::kDriverCount)
        return;
    {
        const QSignalBlocker block(driverList);
        driverList->setCurrentIndex(index);
    }
    if (index != application.Drivers().CurrentIndex()) {
        try {
            application.SelectDriver(index);
        } catch (const CError& error) {
            messages.ShowError(error.Message());
        }
    }
    loading = true;
    ShowDriver(index);
    loading = false;
}

void CDriverOptionsPage::ShowDriver(int index)
{
    CAudioOutputDriver* driver = application.Drivers().Driver(index);
    CAppOptions& options = application.Options();
    const bool available = driver->IsAvailable();
    const bool running = available && index == application.Drivers().CurrentIndex();
    availability->setText(!available ? QStringLiteral("Not available here: the studio runs without sound.")
                                     : QStringLiteral("%1 Hz, %2 samples, %3 channels%4")
                                           .arg(driver->GetSampleRate())
                                           .arg(driver->GetBufferSize())
                                           .arg(driver->GetChannelCount())
                                           .arg(running ? QStringLiteral(": playing") : QString()));

    deviceList->clear();
    bufferList->clear();
    formatList->clear();
    asioInfo->clear();
    const bool isWaveOut = index == CDriverManager::kWaveOut;
    const bool isAsio = index == CDriverManager::kAsio;
    deviceList->setEnabled(isWaveOut);
    bufferList->setEnabled(!isAsio);
    formatList->setEnabled(!isAsio);
    applyButton->setEnabled(!isAsio && available);

    if (index == CDriverManager::kNull) {
        deviceList->addItem(QStringLiteral("None (keeps time only)"));
        AddBufferSizes(bufferList, CNullDriver::kBufferStep, CNullDriver::kLargestBufferSize, CNullDriver::kBufferStep,
                       options.nullBufferSize);
    } else if (isWaveOut) {
        auto* waveOut = static_cast<CWaveOutDriver*>(driver);
        for (const auto& device : waveOut->Devices())
            deviceList->addItem(QString::fromStdString(device.description.empty() ? device.name : device.description));
        deviceList->setCurrentIndex(waveOut->GetDeviceIndex());
        AddBufferSizes(bufferList, CWaveOutDriver::kSmallestBufferSize, CWaveOutDriver::kLargestBufferSize,
                       CWaveOutDriver::kBufferStep, options.waveOutBufferSize);
    } else {
        auto* asio = static_cast<CASIODriver*>(driver);
        asioInfo->setText(QStringLiteral("The JACK server decides the sample rate and buffer size."));
        if (asio->GetSelected() >= 0)
            deviceList->addItem(
                QStringLiteral("%1 (%2 outputs)")
                    .arg(QString::fromStdString(asio->Drivers()[static_cast<std::size_t>(asio->GetSelected())].name))
                    .arg(asio->GetChannelCount()));
        else
            deviceList->addItem(QStringLiteral("No JACK server running"));
        bufferList->addItem(QStringLiteral("%1 samples").arg(driver->GetBufferSize()), driver->GetBufferSize());
        formatList->addItem(QString::fromStdString(CASIODriver::DescribeRate(asio->GetRateFlag(), driver->GetSampleRate())));
        return;
    }
    FillFormats();
}

void CDriverOptionsPage::FillFormats()
{
    const int index = driverList->currentIndex();
    CAppOptions& options = application.Options();
    std::int32_t allowed = (1 << kFormatBits) - 1;
    std::int32_t current = options.nullFormat;
    if (index == CDriverManager::kWaveOut) {
        auto* waveOut = static_cast<CWaveOutDriver*>(application.Drivers().Driver(index));
        const int device = deviceList->currentIndex();
        allowed = device >= 0 && device < static_cast<int>(waveOut->Devices().size())
                      ? waveOut->Devices()[static_cast<std::size_t>(device)].formats
                      : 0;
        current = waveOut->GetFormatFlag();
    }
    formatList->clear();
    for (int bit = 0; bit < kFormatBits; ++bit) {
        const std::int32_t flag = 1 << bit;
        if ((allowed & flag) == 0)
            continue;
        formatList->addItem(QString::fromStdString(CWaveOutDriver::DescribeFormat(flag)), flag);
        if (flag == current)
            formatList->setCurrentIndex(formatList->count() - 1);
    }
}

void CDriverOptionsPage::ApplySettings()
{
    const int index = driverList->currentIndex();
    const int buffer = bufferList->currentData().toInt();
    const std::int32_t format = formatList->currentData().toInt();
    CAudioOutputDriver* driver = application.Drivers().Driver(index);
    if (index == CDriverManager::kNull && format != 0)
        static_cast<CNullDriver*>(driver)->Configure(buffer, format);
    else if (index == CDriverManager::kWaveOut && format != 0)
        static_cast<CWaveOutDriver*>(driver)->Configure(deviceList->currentIndex(), buffer, format);
    else
        return;
    if (index == application.Drivers().CurrentIndex())
        Restart();
    loading = true;
    ShowDriver(index);
    loading = false;
}

void CDriverOptionsPage::Restart()
{
    // A configured driver takes its settings over when stopped; selecting
    // it again stops it, carries a new rate or block size to every machine
    // and starts it.
    try {
        application.SelectDriver(application.Drivers().CurrentIndex());
    } catch (const CError& error) {
        messages.ShowError(error.Message());
    }
}
