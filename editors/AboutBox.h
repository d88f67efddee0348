#pragma once
// CAboutBox: the studio's picture with the version, platform and compiler
// lines; created hidden and shown by Help > "About...".
//
// Threads: user-interface thread.

#include <QDialog>

class QLabel;

class CAboutBox : public QDialog {
public:
    CAboutBox(const QString& text, QWidget* parent);
    QString Text() const;

private:
    QLabel* textLabel;
};
