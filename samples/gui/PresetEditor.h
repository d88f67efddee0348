#pragma once
// CPresetEditor: the page the bank explorer opens for a chosen preset. It
// shows which preset it is (bank, name, number in the bank) and edits
// nothing yet.
//
// Threads: user-interface thread.

#include <string>

#include <QWidget>

class QLabel;

class CPresetEditor : public QWidget {
public:
    explicit CPresetEditor(QWidget* parent = nullptr);

    void ShowPreset(const std::string& bankName, const std::string& presetName, int presetNumber);

    QString GetBankText() const;
    QString GetPresetText() const;
    QString GetNumberText() const;

private:
    QLabel* bankLabel;
    QLabel* presetLabel;
    QLabel* numberLabel;
};
