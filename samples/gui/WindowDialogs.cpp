#include "samples/gui/WindowDialogs.h"

#include <QFileDialog>
#include <QMessageBox>

std::string CQtFileChooser::ChooseFileToOpen(QWidget* parent, const std::string& filter)
{
    const QString path = QFileDialog::getOpenFileName(parent, QString(), QString(), QString::fromStdString(filter));
    return path.toStdString();
}

void CQtMessageSink::ShowError(QWidget* parent, const std::string& text)
{
    QMessageBox::critical(parent, QStringLiteral("Corvane"), QString::fromStdString(text));
}
