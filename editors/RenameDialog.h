#pragma once
// CRenameDialog: "Rename Machine" with one field, "Name:", filled with the
// machine's current name.
//
// Threads: user-interface thread.

#include <optional>
#include <string>

#include <QDialog>

class QLineEdit;

class CRenameDialog : public QDialog {
public:
    CRenameDialog(const std::string& current, QWidget* parent);
    QLineEdit* Field() const { return field; }
    std::string Name() const;

    /// Asks modally; nothing when the user cancels.
    static std::optional<std::string> Ask(const std::string& current, QWidget* parent);

private:
    QLineEdit* field;
};
