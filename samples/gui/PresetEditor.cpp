#include "samples/gui/PresetEditor.h"

#include <QFormLayout>
#include <QLabel>

#include "samples/gui/StudioLook.h"

CPresetEditor::CPresetEditor(QWidget* parent)
    : QWidget(parent), bankLabel(new QLabel(this)), presetLabel(new QLabel(this)), numberLabel(new QLabel(this))
{
    setWindowTitle(QStringLiteral("Preset Editor"));
    ApplyStudioLook(this);
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("Bank:"), bankLabel);
    layout->addRow(QStringLiteral("Preset:"), presetLabel);
    layout->addRow(QStringLiteral("Number:"), numberLabel);
    resize(280, 110);
}

void CPresetEditor::ShowPreset(const std::string& bankName, const std::string& presetName, int presetNumber)
{
    bankLabel->setText(QString::fromStdString(bankName));
    presetLabel->setText(QString::fromStdString(presetName));
    numberLabel->setText(QString::number(presetNumber));
}

QString CPresetEditor::GetBankText() const { return bankLabel->text(); }
QString CPresetEditor::GetPresetText() const { return presetLabel->text(); }
QString CPresetEditor::GetNumberText() const { return numberLabel->text(); }
