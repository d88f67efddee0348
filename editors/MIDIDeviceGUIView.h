#pragma once
// CMIDIDeviceGUIView: the window of the MIDI input's and the MIDI output's
// editors (240 x 64): "DeviceCombo" and "ChannelCombo" over a
// CMIDIDeviceGUI, which says what the entries are and what a choice does.
// A device that fails to open is reported through the message sink, as any
// command's failure is. A timer shows choices made elsewhere (a project).
//
// Threads: user-interface thread.

#include <memory>

#include <QWidget>

#include "machines/MIDIDeviceGUI.h"

class CMessageSink;
class QComboBox;
class QTimer;

class CMIDIDeviceGUIView : public QWidget {
public:
    static constexpr int kRefreshMs = 100;

    /// messages may be null: failures are then only shown by the lists.
    CMIDIDeviceGUIView(std::unique_ptr<CMIDIDeviceGUI> model, CMessageSink* messages, QWidget* parent);

    CMIDIDeviceGUI& Model() { return *model; }
    QComboBox* DeviceCombo() const { return devices; }
    QComboBox* ChannelCombo() const { return channels; }
    /// Shows the machine's device and channel now.
    void Refresh();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void ShowChoices();

    std::unique_ptr<CMIDIDeviceGUI> model;
    CMessageSink* messages;
    QComboBox* devices;
    QComboBox* channels;
    QTimer* refresh;
};
