#include "samples/gui/BankExplorerView.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QSplitter>
#include <QThread>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "samples/gui/PresetEditor.h"
#include "samples/gui/StudioLook.h"
#include "samples/gui/WindowDialogs.h"

namespace {

constexpr const char* kBankFilter = "SoundFont Banks (*.sf2)";

/// A titled pane of the splitter: the title above its list.
QWidget* TitledPane(const QString& title, QWidget* content)
{
    auto* pane = new QWidget;
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->setSpacing(2);
    auto* label = new QLabel(title, pane);
    label->setProperty("title", true);
    layout->addWidget(label);
    layout->addWidget(content, 1);
    return pane;
}

} // namespace

CBankExplorerView::CBankExplorerView(CBankServer* server, QWidget* parent, CFileChooser* chooser,
                                     CMessageSink* sink)
    : QWidget(parent, Qt::Window), explorer(server), fileChooser(chooser), messageSink(sink)
{
    if (fileChooser == nullptr) {
        ownChooser = std::make_unique<CQtFileChooser>();
        fileChooser = ownChooser.get();
    }
    if (messageSink == nullptr) {
        ownSink = std::make_unique<CQtMessageSink>();
        messageSink = ownSink.get();
    }
    setWindowTitle(QStringLiteral("Sample Banks"));
    ApplyStudioLook(this);

    auto* toolBar = new QToolBar(this);
    loadAction = toolBar->addAction(QStringLiteral("Load Bank"));
    auto* spacer = new QWidget(toolBar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    toolBar->addWidget(spacer);
    busyBar = new QProgressBar(toolBar);
    busyBar->setRange(0, 0);   // no known end: the loader reports no progress
    busyBar->setTextVisible(false);
    busyBar->setFixedWidth(120);
    busyBar->setToolTip(QStringLiteral("Loading..."));
    busyAction = toolBar->addWidget(busyBar);
    busyAction->setVisible(false);

    bankList = new QListWidget;
    informationView = new QTreeWidget;
    informationView->setColumnCount(2);
    informationView->setHeaderHidden(true);
    informationView->setRootIsDecorated(false);
    informationView->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    presetList = new QListWidget;
    sampleList = new QListWidget;   // the loader reads no samples yet
    bankList->setObjectName(QStringLiteral("Banks"));
    informationView->setObjectName(QStringLiteral("BankInfo"));
    presetList->setObjectName(QStringLiteral("Bank Presets"));
    sampleList->setObjectName(QStringLiteral("Bank Samples"));

    splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(TitledPane(QStringLiteral("Banks"), bankList));
    splitter->addWidget(TitledPane(QStringLiteral("Bank Information"), informationView));
    splitter->addWidget(TitledPane(QStringLiteral("Bank Presets"), presetList));
    splitter->addWidget(TitledPane(QStringLiteral("Bank Samples"), sampleList));
    splitter->setHandleWidth(4);
    splitter->setChildrenCollapsible(false);
    splitter->setSizes({150, 250, 180, 140});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar);
    layout->addWidget(splitter, 1);
    resize(760, 420);

    connect(loadAction, &QAction::triggered, this, [this] { LoadBankFromDialog(); });
    connect(bankList, &QListWidget::currentRowChanged, this, [this](int row) { OnBankSelected(row); });
    connect(presetList, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { OnPresetSelected(presetList->row(item)); });
    connect(presetList, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { OnPresetSelected(presetList->row(item)); });

    // The service tells the explorer on the adding thread; the list is
    // brought up to date on this one.
    explorer.onBanksChanged = [this] {
        QMetaObject::invokeMethod(this, [this] { RefreshBanks(); }, Qt::QueuedConnection);
    };
    RefreshBanks();
}

CBankExplorerView::~CBankExplorerView()
{
    // The worker may be inside the explorer's notification: it finishes
    // first, and the calls it queued die with this window.
    if (worker != nullptr) {
        worker->disconnect(this);
        worker->wait();
        delete worker;
    }
    explorer.onBanksChanged = nullptr;
}

bool CBankExplorerView::IsBusyBarShown() const
{
    return busyAction->isVisible();
}

void CBankExplorerView::LoadBankFromDialog()
{
    if (IsLoading())
        return;
    const std::string path = fileChooser->ChooseFileToOpen(this, kBankFilter);
    if (!path.empty())
        StartLoading(path);
}

bool CBankExplorerView::StartLoading(const std::string& path)
{
    if (IsLoading())
        return false;
    auto code = std::make_shared<int>(-1);
    worker = QThread::create([this, path, code] { *code = explorer.LoadBank(path); });
    connect(worker, &QThread::finished, this, [this, path, code] { OnLoadFinished(path, *code); });
    loadAction->setEnabled(false);
    busyAction->setVisible(true);
    worker->start();
    return true;
}

void CBankExplorerView::OnLoadFinished(const std::string& path, int code)
{
    worker->wait();
    worker->deleteLater();
    worker = nullptr;
    busyAction->setVisible(false);
    loadAction->setEnabled(true);
    // Names queued by the worker may still be on their way.
    RefreshBanks();
    if (code != 0)
        messageSink->ShowError(this, CBankExplorer::LoadErrorMessage(code, path));
    if (onLoadFinished)
        onLoadFinished(code);
}

void CBankExplorerView::RefreshBanks()
{
    const std::vector<std::string> names = explorer.GetBankNames();
    for (std::size_t row = static_cast<std::size_t>(bankList->count()); row < names.size(); ++row)
        bankList->addItem(QString::fromStdString(names[row]));
}

void CBankExplorerView::OnBankSelected(int row)
{
    informationView->clear();
    presetList->clear();
    shownBank = explorer.GetBankIndex(row);
    if (shownBank < 0)
        return;
    const CBankExplorer::BankDetails details = explorer.ReadBank(shownBank);
    for (const auto& [key, value] : details.information)
        new QTreeWidgetItem(informationView, {QString::fromStdString(key), QString::fromStdString(value)});
    for (const std::string& name : details.presets)
        presetList->addItem(QString::fromStdString(name));
}

void CBankExplorerView::OnPresetSelected(int row)
{
    QListWidgetItem* bank = bankList->currentItem();
    QListWidgetItem* preset = presetList->item(row);
    if (bank == nullptr || preset == nullptr)
        return;
    const std::string bankName = bank->text().toStdString();
    const std::string presetName = preset->text().toStdString();
    if (onPresetChosen) {
        onPresetChosen(bankName, presetName, row);
        return;
    }
    if (presetEditor == nullptr) {
        presetEditor = new CPresetEditor(this);
        presetEditor->setWindowFlag(Qt::Tool);
    }
    presetEditor->ShowPreset(bankName, presetName, row);
    presetEditor->show();
    presetEditor->raise();
}
