#pragma once
// CDriverOptionsPage: the options dialog's audio output page. It lists the
// three output drivers by name with the current one selected; choosing
// another switches to it at once (the application's SelectDriver). Below
// are the chosen driver's own settings: buffer size and format for the
// null driver, device, buffer size and format for Wave Out (ALSA), and what
// the JACK server decides for ASIO. Applying them restarts the driver.
//
// Threads: user-interface thread.

#include <QWidget>

class CApplication;
class CMessageSink;
class QComboBox;
class QFormLayout;
class QLabel;
class QPushButton;
class QStackedWidget;

class CDriverOptionsPage : public QWidget {
public:
    CDriverOptionsPage(CApplication& application, CMessageSink& messages, QWidget* parent = nullptr);

    /// As if the user picked the driver at index in the list.
    void ChooseDriver(int index);
    /// Takes over the shown settings of the current driver and restarts it.
    void ApplySettings();
    /// Shows the drivers' current settings again.
    void Reload();

    QComboBox* DriverList() const { return driverList; }
    QComboBox* BufferList() const { return bufferList; }
    QComboBox* FormatList() const { return formatList; }
    QComboBox* DeviceList() const { return deviceList; }

private:
    void ShowDriver(int index);
    void FillFormats();
    /// Restarts the current driver so that configured settings take effect.
    void Restart();

    CApplication& application;
    CMessageSink& messages;
    QFormLayout* form;
    QComboBox* driverList;
    QLabel* availability;
    QComboBox* deviceList;
    QComboBox* bufferList;
    QComboBox* formatList;
    QLabel* deviceLabel;
    QLabel* asioInfo;
    QPushButton* applyButton;
    bool loading = false;
};
