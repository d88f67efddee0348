#include "editors/AboutBox.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

#include "editors/SplashWindow.h"

CAboutBox::CAboutBox(const QString& text, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About Corvane Studio"));
    auto* picture = new QLabel(this);
    picture->setPixmap(QPixmap::fromImage(LoadSplashPicture()));
    picture->setAlignment(Qt::AlignCenter);

    textLabel = new QLabel(text, this);
    textLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    textLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    textLabel->setContentsMargins(12, 8, 12, 4);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 10);
    layout->addWidget(picture);
    layout->addWidget(textLabel);
    layout->addWidget(buttons);
    buttons->setContentsMargins(12, 0, 12, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString CAboutBox::Text() const
{
    return textLabel->text();
}
