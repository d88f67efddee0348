#include "editors/VstPathsPage.h"

#include <algorithm>

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/DialogServices.h"
#include "host/AppOptions.h"

CVstPathsPage::CVstPathsPage(CAppOptions& options, CFileChooser& chooser, QWidget* parent)
    : QWidget(parent), options(options), chooser(chooser)
{
    auto* note = new QLabel(QStringLiteral("Folders searched for VST plug-ins, with their subfolders. "
                                           "Changes take effect the next time the studio starts."),
                            this);
    note->setWordWrap(true);
    list = new QListWidget(this);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    addButton = new QPushButton(QStringLiteral("Add Path..."), this);
    removeButton = new QPushButton(QStringLiteral("Remove Selected Path"), this);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(addButton);
    buttons->addWidget(removeButton);
    buttons->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addWidget(list, 1);
    layout->addLayout(buttons);

    connect(addButton, &QPushButton::clicked, this, [this] { AddPath(); });
    connect(removeButton, &QPushButton::clicked, this, [this] { RemoveSelectedPath(); });
    connect(list, &QListWidget::currentRowChanged, this, [this](int row) { removeButton->setEnabled(row >= 0); });
    ShowPaths();
}

void CVstPathsPage::ShowPaths()
{
    list->clear();
    for (const std::string& path : options.vstPaths)
        list->addItem(QString::fromStdString(path));
    removeButton->setEnabled(list->currentRow() >= 0);
}

void CVstPathsPage::AddPath()
{
    const auto folder = chooser.ChooseFolder("Select VST PlugIn Folder");
    if (!folder)
        return;
    auto& paths = options.vstPaths;
    if (std::find(paths.begin(), paths.end(), *folder) == paths.end())
        paths.push_back(*folder);
    ShowPaths();
    list->setCurrentRow(static_cast<int>(std::find(paths.begin(), paths.end(), *folder) - paths.begin()));
}

void CVstPathsPage::RemoveSelectedPath()
{
    const int row = list->currentRow();
    if (row < 0 || row >= static_cast<int>(options.vstPaths.size()))
        return;
    options.vstPaths.erase(options.vstPaths.begin() + row);
    ShowPaths();
    list->setCurrentRow(std::min(row, list->count() - 1));
}
