#include "editors/ProgramToolBar.h"

#include "framework/Machine.h"
#include "framework/ScopedLock.h"

CProgramToolBar::CProgramToolBar(CMachine* machine, QWidget* parent) : QComboBox(parent), machine(machine)
{
    setObjectName(QStringLiteral("ProgramToolBar"));
    setToolTip(QStringLiteral("Select Program"));
    setPlaceholderText(QStringLiteral("Select Program"));
    setFocusPolicy(Qt::NoFocus);
    setStyleSheet(QStringLiteral("QComboBox { background: #1b1d21; color: #d6dce2; border: 1px solid #0c0d0f;"
                                 " border-radius: 2px; padding: 0 4px; font-size: 8pt; }"));
    for (int i = 0; i < machine->programCount; ++i) {
        char name[1024] = {};
        machine->GetProgramNameIndexed(i, name);
        name[sizeof name - 1] = '\0';
        addItem(QString::fromUtf8(name).isEmpty() ? QString::number(i + 1) : QString::fromUtf8(name));
    }
    setCurrentIndex(machine->currentProgram >= 0 && machine->currentProgram < count() ? machine->currentProgram : -1);
    connect(this, &QComboBox::activated, this, [this](int index) { Choose(index); });
}

void CProgramToolBar::Choose(int index)
{
    if (index < 0 || index >= this->machine->programCount)
        return;
    {
        CScopedLock<CMachine> lock(*machine);
        machine->SetProgram(index);
    }
    if (currentIndex() != index)
        setCurrentIndex(index);
    if (chosen)
        chosen();
}
