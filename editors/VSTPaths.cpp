#include "editors/VSTPaths.h"

#include <algorithm>

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/DialogServices.h"
#include "host/AppOptions.h"

CVSTPaths::CVSTPaths(CAppOptions& options, CFileChooser& chooser, QWidget* parent)
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

void CVSTPaths::ShowPaths()
{
    list->clear();
    for (const std::string& path : options.vstPaths)
        list->addItem(QString::fromStdString(path));
    removeButton->setEnabled(list->currentRow() >= 0);
}

void CVSTPaths::AddPath()
{
    const auto folder = chooser.ChooseFolder("Select VST PlugIn Folder");
    if (!folder)
        return;
    // Appended even when listed already: the list is the user's, and the
    // scan registers each plug-in file once however often it is reached.
    options.vstPaths.push_back(*folder);
    ShowPaths();
    list->setCurrentRow(list->count() - 1);
}

void CVSTPaths::RemoveSelectedPath()
{
    const int row = list->currentRow();
    if (row < 0 || row >= static_cast<int>(options.vstPaths.size()))
        return;
    options.vstPaths.erase(options.vstPaths.begin() + row);
    ShowPaths();
    list->setCurrentRow(std::min(row, list->count() - 1));
}
