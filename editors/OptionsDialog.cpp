#include "editors/OptionsDialog.h"

#include <QDialogButtonBox>
#include <QResizeEvent>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/Application.h"
#include "editors/DriverOptionsPage.h"
#include "editors/VSTPaths.h"
#include "host/AppOptions.h"

COptionsDialog::COptionsDialog(CApplication& application, CFileChooser& chooser, CMessageSink& messages, QWidget* parent)
    : QDialog(parent), application(application)
{
    setWindowTitle(QStringLiteral("Options"));
    pages = new QTabWidget(this);
    driverPage = new CDriverOptionsPage(application, messages, pages);
    vstPage = new CVSTPaths(application.Options(), chooser, pages);
    pages->addTab(driverPage, QStringLiteral("Audio Output"));
    pages->addTab(vstPage, QStringLiteral("VST Paths"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages, 1);
    layout->addWidget(buttons);

    setMinimumSize(440, 320);
    const CAppOptions& options = application.Options();
    if (options.optionsWindowWidth > 0 && options.optionsWindowHeight > 0)
        resize(options.optionsWindowWidth, options.optionsWindowHeight);
    else
        resize(520, 380);
}

void COptionsDialog::ShowOptions()
{
    driverPage->Reload();
    show();
    raise();
    activateWindow();
}

void COptionsDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (isVisible()) {
        application.Options().optionsWindowWidth = event->size().width();
        application.Options().optionsWindowHeight = event->size().height();
    }
}
