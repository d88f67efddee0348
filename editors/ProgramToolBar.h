#pragma once
// CProgramToolBar: the choice list "Select Program" that a machine box
// shows when its machine has programs. Choosing entry i calls the machine's
// SetProgram with i (machine locked); the owner then refreshes the default
// GUI's rows.
//
// Threads: user-interface thread.

#include <functional>

#include <QComboBox>

class CMachine;

class CProgramToolBar : public QComboBox {
public:
    CProgramToolBar(CMachine* machine, QWidget* parent);
    CMachine* Machine() const { return machine; }
    void SetChosen(std::function<void()> handler) { chosen = std::move(handler); }
    /// Chooses entry i as the user would.
    void Choose(int index);

private:
    CMachine* machine;
    std::function<void()> chosen;
};
