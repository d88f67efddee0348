#include "editors/PatternEditorPage.h"

#include <algorithm>

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSpinBox>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

#include "editors/ChoiceLists.h"
#include "editors/ControlView.h"
#include "editors/DisplayPost.h"
#include "editors/NoteView.h"
#include "editors/PianoRollHeaders.h"
#include "framework/Port.h"
#include "host/Connector.h"
#include "host/MachineContainer.h"
#include "sequencing/EditorGeometry.h"
#include "sequencing/Pattern.h"
#include "sequencing/PatternEditor.h"

namespace {

/// Choices that appear by themselves (machines placed in the studio, a
/// project opened) show up within this time.
constexpr int kSyncMilliseconds = 400;

std::optional<std::string> AskWithQtDialog(QWidget* parent, const std::string& title, const std::string& label,
                                           const std::string& text)
{
    bool accepted = false;
    const QString answer = QInputDialog::getText(parent, QString::fromStdString(title), QString::fromStdString(label),
                                                 QLineEdit::Normal, QString::fromStdString(text), &accepted);
    if (!accepted)
        return std::nullopt;
    return answer.toStdString();
}

QScrollArea* PlainScrollArea(QWidget* content)
{
    auto* area = new QScrollArea;
    area->setWidget(content);
    area->setWidgetResizable(false);
    area->setFrameShape(QFrame::NoFrame);
    area->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return area;
}

} // namespace

CPatternEditorPage::CPatternEditorPage(CPatternEditor& editor, QWidget* parent)
    : QWidget(parent), editor(editor),
      askText([this](const std::string& title, const std::string& label, const std::string& text) {
          return AskWithQtDialog(this, title, label, text);
      }),
      displayPost(std::make_unique<CDisplayPost>(this, [this] { RefreshPlayState(); }))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(BuildToolBar());
    layout->addWidget(BuildRollArea(), 1);
    BuildShortcuts();
    SyncChoices();
    startTimer(kSyncMilliseconds);
}

void CPatternEditorPage::timerEvent(QTimerEvent*)
{
    if (isVisible())
        SyncChoices();
}

CPatternEditorPage::~CPatternEditorPage() = default;

QWidget* CPatternEditorPage::BuildToolBar()
{
    auto* bar = new QWidget;
    bar->setObjectName(QStringLiteral("patternToolBar"));
    auto* grid = new QGridLayout(bar);
    grid->setContentsMargins(8, 6, 8, 6);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);

    machineList = choice_lists::MakeChoiceList(QStringLiteral("Select Machine"), 180);
    portList = choice_lists::MakeChoiceList(QStringLiteral("Select Port"), 120);
    patternList = choice_lists::MakeChoiceList(QStringLiteral("Select Pattern"), 150);
    propertyList = choice_lists::MakeChoiceList(QStringLiteral("Select Property"), 180);
    noteLengthBox = choice_lists::MakeBox(QStringLiteral("Note Length"), CPatternEditor::kMinimumNoteLength,
                                          CPatternEditor::kMaximumNoteLength, editor.NoteLength());
    patternLengthBox = choice_lists::MakeBox(QStringLiteral("Pattern Length"), CPattern::kMinimumLength,
                                             CPattern::kMaximumLength, editor.PatternLength());

    auto* add = choice_lists::MakeButton(QStringLiteral("Add Pattern"));
    auto* remove = choice_lists::MakeButton(QStringLiteral("Remove Pattern"));
    auto* rename = choice_lists::MakeButton(QStringLiteral("Rename Pattern"));
    auto* addTrack = choice_lists::MakeButton(QStringLiteral("Add Control Track"));
    auto* removeTrack = choice_lists::MakeButton(QStringLiteral("Remove Control Track"));
    editModeButton = choice_lists::MakeButton(QStringLiteral("Edit Mode"), true);
    selectModeButton = choice_lists::MakeButton(QStringLiteral("Select Mode"), true);
    playButton = choice_lists::MakeButton(QStringLiteral("Play Pattern"), true);
    stopButton = choice_lists::MakeButton(QStringLiteral("Stop Pattern"));
    loopButton = choice_lists::MakeButton(QStringLiteral("Loop Pattern"), true);
    auto* modes = new QButtonGroup(bar);
    modes->setExclusive(true);
    modes->addButton(editModeButton);
    modes->addButton(selectModeButton);
    editModeButton->setChecked(editor.Mode() == PianoRollMode::Edit);
    selectModeButton->setChecked(editor.Mode() == PianoRollMode::Select);

    // Two rows: what is edited (machine, port, pattern) above how it is
    // edited (lanes, note length, mode, playback).
    auto row = [grid](int index) {
        auto* line = new QHBoxLayout;
        line->setSpacing(6);
        grid->addLayout(line, index, 0);
        return line;
    };
    QHBoxLayout* upper = row(0);
    QHBoxLayout* lower = row(1);
    auto place = [](QHBoxLayout* line, const QString& label, QWidget* widget) {
        if (!label.isEmpty())
            line->addWidget(choice_lists::MakeLabel(label));
        line->addWidget(widget);
    };
    place(upper, QStringLiteral("Machine:"), machineList);
    place(upper, QStringLiteral("Port:"), portList);
    place(upper, QStringLiteral("Pattern:"), patternList);
    place(upper, QString(), add);
    place(upper, QString(), remove);
    place(upper, QString(), rename);
    upper->addSpacing(12);
    place(upper, QStringLiteral("Pattern Length:"), patternLengthBox);
    upper->addStretch(1);
    place(lower, QStringLiteral("Property:"), propertyList);
    place(lower, QString(), addTrack);
    place(lower, QString(), removeTrack);
    lower->addSpacing(12);
    place(lower, QStringLiteral("Note Length:"), noteLengthBox);
    lower->addSpacing(12);
    place(lower, QString(), editModeButton);
    place(lower, QString(), selectModeButton);
    lower->addSpacing(12);
    place(lower, QString(), playButton);
    place(lower, QString(), stopButton);
    place(lower, QString(), loopButton);
    lower->addStretch(1);

    connect(machineList, &QComboBox::activated, this, [this](int index) {
        const auto& machines = editor.Machines();
        if (index >= 0 && index < static_cast<int>(machines.size()))
            editor.SelectMachine(machines[static_cast<std::size_t>(index)]);
        SyncChoices();
    });
    connect(portList, &QComboBox::activated, this, [this](int index) {
        const auto ports = editor.PortChoices();
        if (index >= 0 && index < static_cast<int>(ports.size()))
            editor.SelectPort(ports[static_cast<std::size_t>(index)]);
        SyncChoices();
    });
    connect(patternList, &QComboBox::activated, this, [this](int index) {
        const auto patterns = editor.PatternChoices();
        if (index >= 0 && index < static_cast<int>(patterns.size()))
            editor.SelectPattern(patterns[static_cast<std::size_t>(index)]);
        SyncChoices();
    });
    connect(propertyList, &QComboBox::activated, this, [this](int index) {
        const auto properties = editor.PropertyChoices();
        if (index >= 0 && index < static_cast<int>(properties.size()))
            editor.SelectProperty(properties[static_cast<std::size_t>(index)].propertyId);
    });
    connect(noteLengthBox, &QSpinBox::valueChanged, this, [this](int ticks) { editor.SetNoteLength(ticks); });
    connect(patternLengthBox, &QSpinBox::valueChanged, this, [this](int units) {
        // Without a pattern the box only sets the next new pattern's length.
        const CPattern* current = editor.CurrentPattern();
        if (current != nullptr && units == current->Length())
            return;
        editor.SetPatternLength(units);
        if (current == nullptr)
            return;
        PatternContentChanged();
        if (onPatternsChanged)
            onPatternsChanged();
    });
    connect(add, &QToolButton::clicked, this, [this] { AddPattern(); });
    connect(remove, &QToolButton::clicked, this, [this] { RemovePattern(); });
    connect(rename, &QToolButton::clicked, this, [this] { RenamePattern(); });
    connect(addTrack, &QToolButton::clicked, this, [this] { AddControlTrack(); });
    connect(removeTrack, &QToolButton::clicked, this, [this] { RemoveControlTrack(); });
    connect(editModeButton, &QToolButton::clicked, this, [this] { SetMode(false); });
    connect(selectModeButton, &QToolButton::clicked, this, [this] { SetMode(true); });
    connect(playButton, &QToolButton::clicked, this, [this](bool down) {
        editor.SetPlayButton(down);
        RefreshPlayState();
    });
    connect(stopButton, &QToolButton::clicked, this, [this] {
        editor.PressStopButton();
        RefreshPlayState();
    });
    connect(loopButton, &QToolButton::clicked, this, [this](bool on) { editor.SetLoopButton(on); });
    return bar;
}

QWidget* CPatternEditorPage::BuildRollArea()
{
    roll = new CNoteView(editor);
    keys = new CPianoKeysView(editor, *roll);
    ruler = new CTickRuler(editor, *roll);
    controls = new CControlView(editor, *roll);
    laneNames = new CControlLaneNames(editor, CPianoKeysView::kWidth);
    rollScroll = PlainScrollArea(roll);
    controlScroll = PlainScrollArea(controls);
    controlScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // At least one whole lane shows, so its values are never cut off.
    controlScroll->setMinimumHeight(CEditorGeometry::kLaneHeight + 2);

    auto* top = new QWidget;
    auto* topGrid = new QGridLayout(top);
    topGrid->setContentsMargins(0, 0, 0, 0);
    topGrid->setSpacing(0);
    auto* corner = new QWidget;
    corner->setFixedSize(CPianoKeysView::kWidth, CTickRuler::kHeight);
    topGrid->addWidget(corner, 0, 0);
    topGrid->addWidget(ruler, 0, 1);
    topGrid->addWidget(keys, 1, 0);
    topGrid->addWidget(rollScroll, 1, 1);

    auto* bottom = new QWidget;
    auto* bottomRow = new QHBoxLayout(bottom);
    bottomRow->setContentsMargins(0, 0, 0, 0);
    bottomRow->setSpacing(0);
    bottomRow->addWidget(laneNames);
    bottomRow->addWidget(controlScroll, 1);

    // The lanes, the ruler and the keys follow the roll's scrolling.
    connect(rollScroll->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this](int x) {
        controlScroll->horizontalScrollBar()->setValue(x);
        ruler->SetOffset(x);
    });
    connect(rollScroll->verticalScrollBar(), &QScrollBar::valueChanged, keys, &CPianoKeysView::SetOffset);
    connect(controlScroll->verticalScrollBar(), &QScrollBar::valueChanged, laneNames, &CControlLaneNames::SetOffset);

    roll->onContextMenu = [this](const QPoint& at) { SelectionMenu()->popup(at); };
    roll->onZoom = [this](int horizontal, int vertical, const QPoint&) { Zoom(horizontal, vertical); };
    roll->onEdited = [this] { controls->update(); };
    controls->onEdited = [this] { roll->update(); };

    auto* split = new QSplitter(Qt::Vertical);
    split->addWidget(top);
    split->addWidget(bottom);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    split->setChildrenCollapsible(false);
    return split;
}

void CPatternEditorPage::BuildShortcuts()
{
    // Select Mode's keys act on the roll's page only, not the whole window.
    auto bind = [this](const QKeySequence& keys, std::function<void()> action) {
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, action] {
            if (editor.Mode() != PianoRollMode::Select)
                return;
            action();
            roll->update();
            controls->update();
        });
    };
    bind(QKeySequence::Cut, [this] { editor.Cut(); });
    bind(QKeySequence::Copy, [this] { editor.Copy(); });
    bind(QKeySequence::Paste, [this] { PasteAtLastClick(); });
    bind(QKeySequence(Qt::Key_Delete), [this] { editor.DeleteSelection(); });
    bind(QKeySequence(Qt::Key_Escape), [this] { editor.Deselect(); });
}

void CPatternEditorPage::PasteAtLastClick()
{
    editor.Paste(roll->LastClickTick(), roll->LastClickRow());
}

QMenu* CPatternEditorPage::SelectionMenu()
{
    if (selectionMenu == nullptr) {
        selectionMenu = new QMenu(this);
        auto add = [this](const QString& text, std::function<void()> action) {
            QAction* entry = selectionMenu->addAction(text);
            connect(entry, &QAction::triggered, this, [this, action] {
                action();
                roll->update();
                controls->update();
            });
        };
        add(QStringLiteral("Cut"), [this] { editor.Cut(); });
        add(QStringLiteral("Copy"), [this] { editor.Copy(); });
        add(QStringLiteral("Paste"), [this] { PasteAtLastClick(); });
        add(QStringLiteral("Delete"), [this] { editor.DeleteSelection(); });
        add(QStringLiteral("Deselect"), [this] { editor.Deselect(); });
    }
    const QList<QAction*> entries = selectionMenu->actions();
    entries[0]->setEnabled(editor.CanCut());
    entries[1]->setEnabled(editor.CanCopy());
    entries[2]->setEnabled(editor.CanPaste());
    entries[3]->setEnabled(editor.CanDelete());
    entries[4]->setEnabled(editor.CanDeselect());
    return selectionMenu;
}

void CPatternEditorPage::SyncChoices()
{
    using choice_lists::Item;
    std::vector<Item> machines;
    int machineIndex = -1;
    for (CMachineContainer* machine : editor.Machines()) {
        if (machine == editor.ChosenMachine())
            machineIndex = static_cast<int>(machines.size());
        machines.push_back({QString::fromStdString(machine->GetName()), machine});
    }
    choice_lists::Show(machineList, machines, machineIndex);

    std::vector<Item> ports;
    int portIndex = -1;
    for (CConnector* port : editor.PortChoices()) {
        if (port == editor.ChosenPort())
            portIndex = static_cast<int>(ports.size());
        // The port is a packed record: copy the name pointer out before use.
        const char* name = port->port->name;
        ports.push_back({QString::fromUtf8(name), port});
    }
    choice_lists::Show(portList, ports, portIndex);

    std::vector<Item> patterns;
    int patternIndex = -1;
    for (CPattern* pattern : editor.PatternChoices()) {
        if (pattern == editor.CurrentPattern())
            patternIndex = static_cast<int>(patterns.size());
        patterns.push_back({QString::fromStdString(pattern->Name()), pattern});
    }
    choice_lists::Show(patternList, patterns, patternIndex);

    std::vector<Item> properties;
    int propertyIndex = -1;
    for (const auto& property : editor.PropertyChoices()) {
        if (property.propertyId == editor.ChosenProperty())
            propertyIndex = static_cast<int>(properties.size());
        properties.push_back({QString::fromStdString(property.name), reinterpret_cast<const void*>(static_cast<std::intptr_t>(property.propertyId + 1))});
    }
    choice_lists::Show(propertyList, properties, propertyIndex);

    {
        const QSignalBlocker quiet(patternLengthBox);
        patternLengthBox->setValue(editor.PatternLength());
    }
    if (editor.CurrentPattern() != shownPattern)
        CurrentPatternChanged();
}

void CPatternEditorPage::CurrentPatternChanged()
{
    shownPattern = editor.CurrentPattern();
    PatternContentChanged();
    // A hidden page has no viewport size yet to centre the notes in.
    if (isVisible())
        ScrollToNotes();
    else
        scrollWhenShown = true;
}

void CPatternEditorPage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    SyncChoices();
    if (scrollWhenShown) {
        scrollWhenShown = false;
        QMetaObject::invokeMethod(this, [this] { ScrollToNotes(); }, Qt::QueuedConnection);
    }
}

void CPatternEditorPage::PatternContentChanged()
{
    roll->UpdateExtent();
    controls->UpdateExtent();
    keys->update();
    ruler->update();
    laneNames->update();
}

void CPatternEditorPage::AddPattern()
{
    if (editor.AddPattern() == nullptr)
        return;
    SyncChoices();
    if (onPatternsChanged)
        onPatternsChanged();
}

void CPatternEditorPage::RemovePattern()
{
    if (editor.CurrentPattern() == nullptr)
        return;
    editor.RemovePattern();
    SyncChoices();
    if (onPatternsChanged)
        onPatternsChanged();
}

void CPatternEditorPage::RenamePattern()
{
    const CPattern* pattern = editor.CurrentPattern();
    if (pattern == nullptr)
        return;
    const auto name = askText("Rename Pattern", "Name:", pattern->Name());
    if (!name.has_value() || !editor.RenamePattern(*name))
        return;
    SyncChoices();
    if (onPatternsChanged)
        onPatternsChanged();
}

void CPatternEditorPage::AddControlTrack()
{
    if (editor.AddControlTrack())
        PatternContentChanged();
}

void CPatternEditorPage::RemoveControlTrack()
{
    if (editor.RemoveControlTrack())
        PatternContentChanged();
}

void CPatternEditorPage::SetMode(bool select)
{
    editor.SetMode(select ? PianoRollMode::Select : PianoRollMode::Edit);
    editModeButton->setChecked(!select);
    selectModeButton->setChecked(select);
    roll->update();
}
