#include "plugins/vst/VSTPaths.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CVSTPaths::CVSTPaths(std::vector<std::string>& paths, QWidget* parent) : QWidget(parent), paths(paths)
{
    setObjectName(QStringLiteral("VST Paths"));
    list = new QListWidget(this);
    addButton = new QPushButton(QStringLiteral("Add Path..."), this);
    removeButton = new QPushButton(QStringLiteral("Remove Selected Path"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(addButton);
    buttons->addWidget(removeButton);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list);
    layout->addLayout(buttons);

    chooseFolder = [](QWidget* owner, const QString& title) {
        return QFileDialog::getExistingDirectory(owner, title).toStdString();
    };
    connect(addButton, &QPushButton::clicked, this, [this] { AddPath(); });
    connect(removeButton, &QPushButton::clicked, this, [this] { RemoveSelectedPath(); });
    Refill();
}

void CVSTPaths::AddPath()
{
    const std::string folder = chooseFolder(this, QStringLiteral("Select VST PlugIn Folder"));
    if (folder.empty())
        return;
    paths.push_back(folder);
    Refill();
}

void CVSTPaths::RemoveSelectedPath()
{
    const int row = list->currentRow();
    if (row < 0 || row >= static_cast<int>(paths.size()))
        return;
    paths.erase(paths.begin() + row);
    Refill();
    list->setCurrentRow(std::min(row, list->count() - 1));
}

void CVSTPaths::Refill()
{
    list->clear();
    for (const std::string& path : paths)
        list->addItem(QString::fromStdString(path));
}
