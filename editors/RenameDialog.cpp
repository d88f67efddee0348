#include "editors/RenameDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

CRenameDialog::CRenameDialog(const std::string& current, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Rename Machine"));
    auto* layout = new QFormLayout(this);
    field = new QLineEdit(QString::fromStdString(current), this);
    field->selectAll();
    field->setMinimumWidth(220);
    layout->addRow(QStringLiteral("Name:"), field);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

std::string CRenameDialog::Name() const
{
    return field->text().trimmed().toStdString();
}

std::optional<std::string> CRenameDialog::Ask(const std::string& current, QWidget* parent)
{
    CRenameDialog dialog(current, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Name();
}
