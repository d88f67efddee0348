#include "gui/QtDialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace {

QString ToQString(const std::string& text)
{
    return QString::fromUtf8(text.c_str(), static_cast<qsizetype>(text.size()));
}

} // namespace

std::optional<std::string> CQtFileChooser::ChooseOpenPath(const std::string& filter, const std::string& defaultExtension)
{
    QFileDialog dialog(parent, QString(), QString(), ToQString(filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(ToQString(defaultExtension));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
}

std::optional<std::string> CQtFileChooser::ChooseSavePath(const std::string& filter, const std::string& defaultExtension)
{
    QFileDialog dialog(parent, QString(), QString(), ToQString(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Adds ".cvx" to a name typed without an extension.
    dialog.setDefaultSuffix(ToQString(defaultExtension));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
}

std::optional<std::string> CQtFileChooser::ChooseFolder(const std::string& title)
{
    const QString folder = QFileDialog::getExistingDirectory(parent, ToQString(title));
    if (folder.isEmpty())
        return std::nullopt;
    return folder.toStdString();
}

void CQtMessageSink::ShowError(const std::string& text)
{
    QMessageBox::critical(parent, QStringLiteral("Corvane"), ToQString(text));
}

SaveChoice CQtMessageSink::AskSaveChanges(const std::string& text)
{
    const QMessageBox::StandardButton answer =
        QMessageBox::question(parent, QStringLiteral("Corvane"), ToQString(text),
                              QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save)
        return SaveChoice::Save;
    if (answer == QMessageBox::Discard)
        return SaveChoice::Discard;
    return SaveChoice::Cancel;
}

bool CQtMessageSink::AskYesNo(const std::string& text)
{
    return QMessageBox::question(parent, QStringLiteral("Corvane"), ToQString(text),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
}
