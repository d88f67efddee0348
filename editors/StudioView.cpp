#include "editors/StudioView.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>

#include <QApplication>
#include <QDateTime>
#include <QFontMetrics>
#include <QMenu>
#include <QPointer>
#include <QScrollBar>
#include <QThread>
#include <QTimer>

#include "editors/CableVolumeSlider.h"
#include "editors/DefaultGUIView.h"
#include "editors/EditorWindow.h"
#include "editors/ProgramToolBar.h"
#include "editors/RenameDialog.h"
#include "editors/StudioCanvas.h"
#include "framework/Machine.h"
#include "host/Connector.h"
#include "host/CorvHost.h"
#include "host/MachineContainer.h"
#include "host/ParameterStep.h"
#include "host/Studio.h"

using namespace studio_view;

namespace {

constexpr int kRefreshMs = 40;
constexpr int kLevelMs = 30;
constexpr double kLevelDecayDbPerSecond = 48.0;

} // namespace

CStudioView::CStudioView(CStudio& studio, const CMachineRegistry& registry, QWidget* parent)
    : QScrollArea(parent), gestures(studio, registry), studio(studio)
{
    setObjectName(QStringLiteral("StudioView"));
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    setStyleSheet(QStringLiteral("#StudioView { background: #141619; }"));
    canvas = new CStudioCanvas(*this);
    setWidget(canvas);
    cableSlider = new CCableVolumeSlider(canvas);
    // Boxes are laid out as wide as their captions and port names are
    // painted.
    const auto measure = [](const QFont& font) {
        return [metrics = QFontMetrics(font)](const std::string& text) {
            return metrics.horizontalAdvance(QString::fromStdString(text));
        };
    };
    gestures.SetTextMeasures(measure(CStudioCanvas::CaptionFont()), measure(CStudioCanvas::PortNameFont()));
    gestures.SetBeforeDelete([this](CMachineContainer* box) { DropWidgets(box); });
    // The program tears the application down before its windows, so the
    // handler outlives neither: it checks that the view is still there.
    QPointer<CStudioView> self(this);
    studio.Host().SetParameterChangeHandler([self](CMachine* machine, int index, double value) {
        if (self)
            self->OnParameterChanged(machine, index, value);
        else
            machine->SetParameter(index, value);
    });

    // Projects open and close behind the view's back; the timer keeps the
    // box widgets and the canvas in step with the studio.
    refresh = new QTimer(this);
    connect(refresh, &QTimer::timeout, this, [this] {
        const std::size_t now = GraphSignature();
        if (now == signature)
            return;
        signature = now;
        SyncWidgets();
        this->canvas->update();
    });
    refresh->start(kRefreshMs);
    levelTimer = new QTimer(this);
    connect(levelTimer, &QTimer::timeout, this, [this] { UpdateLevels(); });
    levelTimer->start(kLevelMs);
    SyncWidgets();
}

double CStudioView::LevelFraction(double levelDb)
{
    return std::clamp((levelDb - kLevelFloorDb) / -kLevelFloorDb, 0.0, 1.0);
}

double CStudioView::LevelDb(const CMachineContainer* box) const
{
    const auto found = levels.find(box);
    return found == levels.end() ? kLevelFloorDb : found->second;
}

void CStudioView::UpdateLevels()
{
    const std::int64_t now = QDateTime::currentMSecsSinceEpoch();
    const double elapsed = levelClockMs < 0 ? 0.0 : std::max<std::int64_t>(now - levelClockMs, 0) * 0.001;
    levelClockMs = now;
    const double fall = kLevelDecayDbPerSecond * elapsed;

    std::map<const CMachineContainer*, double> next;
    for (CMachineContainer* box : studio.Containers()) {
        const double old = LevelDb(box);
        double level = std::max(old - fall, kLevelFloorDb);
        const double squared = box->outputPeak.exchange(0.0, std::memory_order_relaxed);
        if (squared > 0.0)
            level = std::max(level, std::min(10.0 * std::log10(squared), 0.0));
        next[box] = level;
        // Only a bar whose lit length moves by a pixel is painted again.
        const Rect r = gestures.BoxRect(box);
        const double width = r.width * zoom;
        if (std::lround(LevelFraction(level) * width) != std::lround(LevelFraction(old) * width)) {
            const QPoint topLeft = ToCanvas(Point{r.x, r.y + r.height - kLevelBarHeight - 2});
            const QPoint bottomRight = ToCanvas(Point{r.x + r.width, r.y + r.height});
            canvas->update(QRect(topLeft, bottomRight).adjusted(-1, -1, 1, 1));
        }
    }
    levels.swap(next);
}

CStudioView::~CStudioView()
{
    // The studio may be gone already (see the constructor): nothing of it
    // is touched here.
    for (auto& [box, parts] : widgets) {
        if (parts.editor != nullptr) {
            parts.editor->Dismiss();
            delete parts.editor;
        }
    }
}

QWidget* CStudioView::Canvas() const
{
    return canvas;
}

std::size_t CStudioView::GraphSignature() const
{
    // Cheap to take 25 times a second; any change a project load or an
    // engine command makes moves it.
    std::size_t hash = studio.Containers().size();
    auto mix = [&hash](std::size_t value) { hash = hash * 1000003u ^ value; };
    for (const CMachineContainer* box : studio.Containers()) {
        mix(reinterpret_cast<std::uintptr_t>(box));
        mix(static_cast<std::size_t>(box->x) << 20 ^ static_cast<std::size_t>(box->y));
        mix(static_cast<std::size_t>(box->guiMode));
        mix(std::hash<std::string>{}(box->GetName()));
        for (const CConnector* connector : box->connectors)
            mix(connector->connections.size());
    }
    return hash;
}

// --- Coordinates and zoom ---

QPoint CStudioView::ToCanvas(PointF p) const
{
    return QPoint(static_cast<int>(std::lround(p.x * zoom)), static_cast<int>(std::lround(p.y * zoom)));
}

Point CStudioView::ToStudio(QPointF p) const
{
    return {static_cast<int>(std::floor(p.x() / zoom)), static_cast<int>(std::floor(p.y() / zoom))};
}

void CStudioView::SetZoom(double factor)
{
    SetZoom(factor, canvas->mapFrom(viewport(), viewport()->rect().center()));
}

void CStudioView::SetZoom(double factor, QPoint anchor)
{
    factor = std::clamp(factor, kMinZoom, kMaxZoom);
    // Wheel steps multiply; 1x snaps back exactly so that box widgets live.
    if (std::abs(factor - 1.0) < 0.02)
        factor = 1.0;
    if (factor == zoom)
        return;
    // The anchor's place on the screen stays put.
    const QPoint onScreen = canvas->mapTo(viewport(), anchor);
    const double studioX = anchor.x() / zoom;
    const double studioY = anchor.y() / zoom;
    zoom = factor;
    cableSlider->Dismiss();
    UpdateCanvasSize();
    SyncWidgets();
    horizontalScrollBar()->setValue(static_cast<int>(std::lround(studioX * zoom)) - onScreen.x());
    verticalScrollBar()->setValue(static_cast<int>(std::lround(studioY * zoom)) - onScreen.y());
    canvas->update();
}

void CStudioView::UpdateCanvasSize()
{
    const Point extent = gestures.Extent();
    const QSize size(std::max(static_cast<int>(extent.x * zoom), viewport()->width()),
                     std::max(static_cast<int>(extent.y * zoom), viewport()->height()));
    if (canvas->size() != size)
        canvas->resize(size);
}

// --- Box widgets ---

CDefaultGUIView* CStudioView::DefaultGui(const CMachineContainer* box) const
{
    const auto found = widgets.find(box);
    return found != widgets.end() ? found->second.gui : nullptr;
}

CProgramToolBar* CStudioView::ProgramBar(const CMachineContainer* box) const
{
    const auto found = widgets.find(box);
    return found != widgets.end() ? found->second.programs : nullptr;
}

CEditorWindow* CStudioView::EditorWindow(const CMachineContainer* box) const
{
    const auto found = widgets.find(box);
    return found != widgets.end() ? found->second.editor : nullptr;
}

void CStudioView::DropWidgets(CMachineContainer* box)
{
    const auto found = widgets.find(box);
    if (found == widgets.end())
        return;
    BoxWidgets& parts = found->second;
    delete parts.gui;
    delete parts.programs;
    if (parts.editor != nullptr) {
        parts.editor->Dismiss();
        parts.editor->deleteLater();
    }
    widgets.erase(found);
}

void CStudioView::SyncWidgets()
{
    const auto& boxes = studio.Containers();
    // Boxes that went (a project closed) take their widgets along; a box
    // at a reused address is told apart by its machine.
    for (auto it = widgets.begin(); it != widgets.end();) {
        const auto* box = it->first;
        const bool alive = std::find(boxes.begin(), boxes.end(), box) != boxes.end() && box->machine == it->second.machine;
        ++it;
        if (!alive)
            DropWidgets(const_cast<CMachineContainer*>(box));
    }
    const bool live = zoom == 1.0;
    for (CMachineContainer* box : boxes) {
        BoxWidgets& parts = widgets[box];
        parts.machine = box->machine;
        const Rect r = gestures.BoxRect(box);
        if (gestures.HasProgramToolBar(box)) {
            if (parts.programs == nullptr) {
                parts.programs = new CProgramToolBar(box->machine, canvas);
                parts.programs->SetChosen([this, box] {
                    studio.Journal().Record("Choose Program");
                    if (CDefaultGUIView* gui = DefaultGui(box))
                        gui->RefreshAll();
                });
            }
            const Rect bar = gestures.ProgramBarRect(box);
            parts.programs->setGeometry(QRect(ToCanvas(Point{r.x + bar.x, r.y + bar.y}), QSize(bar.width, bar.height)));
            parts.programs->setVisible(live);
        }
        if (box->guiMode == GuiMode::DefaultGui) {
            if (parts.gui == nullptr) {
                parts.gui = new CDefaultGUIView(box->machine, canvas);
                parts.gui->Model().SetJournal(&studio.Journal());
            }
            const Point origin = gestures.GuiOrigin(box);
            parts.gui->move(ToCanvas(Point{r.x + origin.x, r.y + origin.y}));
            parts.gui->setVisible(live);
        } else if (parts.gui != nullptr) {
            delete parts.gui;
            parts.gui = nullptr;
        }
        if (box->guiMode == GuiMode::CustomGui && parts.editor == nullptr)
            OpenEditor(box);
        if (box->guiMode != GuiMode::CustomGui && parts.editor != nullptr) {
            parts.editor->Dismiss();
            parts.editor->deleteLater();
            parts.editor = nullptr;
        }
    }
    cableSlider->raise();
    UpdateCanvasSize();
}

void CStudioView::OpenEditor(CMachineContainer* box)
{
    BoxWidgets& parts = widgets[box];
    auto* editor = new CEditorWindow(box->machine, QString::fromStdString(box->GetName()), window());
    if (!editor->IsOpen()) {
        delete editor;
        box->guiMode = GuiMode::Hidden;
        return;
    }
    parts.editor = editor;
    editor->SetClosed([this, box] {
        // The user closed the window: the box returns to mode 0.
        gestures.SetGuiMode(box, 0);
        if (auto found = widgets.find(box); found != widgets.end() && found->second.editor != nullptr) {
            found->second.editor->deleteLater();
            found->second.editor = nullptr;
        }
        canvas->update();
    });
    editor->show();
}

void CStudioView::OnParameterChanged(CMachine* machine, int index, double value)
{
    const bool userInterface = QThread::currentThread() == thread();
    const double before = userInterface ? machine->GetParameter(index) : 0.0;
    machine->SetParameter(index, value);
    auto refreshRow = [this, machine, index] {
        for (auto& [box, parts] : widgets) {
            if (parts.machine == machine && parts.gui != nullptr)
                parts.gui->RefreshRow(index);
        }
    };
    if (userInterface) {
        refreshRow();
        // A knob in the machine's own editor: a step of its own when the
        // mouse goes up. Playback's parameter events come from the audio
        // side and are no edit.
        if (before != value)
            studio.Journal().Continue("Change Parameter", ParameterStep(machine, index, before, value));
    } else
        QMetaObject::invokeMethod(this, refreshRow, Qt::QueuedConnection);
}

// --- Menus and commands ---

int CStudioView::Choose(const std::vector<MenuEntry>& entries, QPoint global)
{
    if (menuChooser)
        return menuChooser(entries, global);
    QMenu menu(this);
    for (const MenuEntry& entry : entries) {
        if (entry.id == 0) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(QString::fromStdString(entry.text));
        action->setData(entry.id);
        action->setEnabled(entry.enabled);
    }
    QAction* chosen = menu.exec(global);
    return chosen != nullptr ? chosen->data().toInt() : 0;
}

void CStudioView::BoxCommand(CMachineContainer* box, int id)
{
    const auto& boxes = studio.Containers();
    if (std::find(boxes.begin(), boxes.end(), box) == boxes.end())
        return;
    // A greyed entry does nothing, however it was reached.
    for (const MenuEntry& entry : gestures.BoxMenu(box)) {
        if (entry.id == id && !entry.enabled)
            return;
    }
    switch (id) {
    case CStudioGestures::kHideGui:
    case CStudioGestures::kShowDefaultGui:
    case CStudioGestures::kShowCustomGui: {
        const int mode = id - 1;
        if (box->guiMode == GuiMode::CustomGui && mode != 2) {
            if (CEditorWindow* editor = EditorWindow(box)) {
                editor->Dismiss();
                editor->deleteLater();
                widgets[box].editor = nullptr;
            }
        }
        gestures.SetGuiMode(box, mode);
        break;
    }
    case CStudioGestures::kRename: {
        const std::optional<std::string> name =
            renamePrompt ? renamePrompt(box->GetName()) : CRenameDialog::Ask(box->GetName(), this);
        if (name)
            gestures.Rename(box, *name);
        if (CEditorWindow* editor = EditorWindow(box))
            editor->setWindowTitle(QString::fromStdString(box->GetName()));
        break;
    }
    case CStudioGestures::kRandomize:
        gestures.Randomize(box);
        if (CDefaultGUIView* gui = DefaultGui(box))
            gui->RefreshAll();
        break;
    case CStudioGestures::kDeleteMachine:
        gestures.DeleteMachine(box);
        break;
    default: return;
    }
    SyncWidgets();
    canvas->update();
}

void CStudioView::ShowCableSlider(CableRef cable)
{
    for (const Cable& drawn : gestures.Cables()) {
        if (drawn.input != cable.input || drawn.index != cable.index)
            continue;
        // The connection itself is looked up again on every move: the cable
        // may be gone by then.
        CConnection* connection = cable.input->connections[static_cast<std::size_t>(cable.index)];
        cableSlider->ShowAt(ToCanvas(drawn.Centroid()), gestures.CablePosition(cable), [this, cable, connection](double s) {
            if (gestures.Exists(cable) && cable.input->connections[static_cast<std::size_t>(cable.index)] == connection)
                gestures.SetCablePosition(cable, s);
            else
                cableSlider->Dismiss();
        });
        return;
    }
}

// --- Events from the canvas ---

void CStudioView::PressAt(QPoint at, Qt::MouseButton button, QPoint global)
{
    const Point p = ToStudio(at);
    if (button == Qt::LeftButton) {
        cableSlider->Dismiss();
        const PressTarget target = gestures.Press(p);
        if (target == PressTarget::MenuButton) {
            CMachineContainer* box = gestures.Selected();
            const int id = Choose(gestures.BoxMenu(box), global);
            if (id != 0)
                BoxCommand(box, id);
        } else if (target == PressTarget::Triangle) {
            ShowCableSlider(gestures.TriangleAt({p.x + 0.5, p.y + 0.5}));
        }
        canvas->update();
        return;
    }
    if (button != Qt::RightButton || gestures.State() != DragState::Idle)
        return;
    cableSlider->Dismiss();
    if (CMachineContainer* box = gestures.BoxAt(p)) {
        gestures.Select(box);
        const int id = Choose(gestures.BoxMenu(box), global);
        if (id != 0)
            BoxCommand(box, id);
        return;
    }
    CableRef cable = gestures.TriangleAt({p.x + 0.5, p.y + 0.5});
    if (!cable.Valid())
        cable = gestures.CableAt({p.x + 0.5, p.y + 0.5});
    if (cable.Valid()) {
        if (Choose(CStudioGestures::CableMenu(), global) == CStudioGestures::kDisconnect)
            gestures.Disconnect(cable);
        canvas->update();
        return;
    }
    const int id = Choose(gestures.NewMachineMenu(), global);
    if (id != 0 && gestures.NewMachine(id, p) != nullptr)
        SyncWidgets();
    canvas->update();
}

void CStudioView::MoveTo(QPoint at)
{
    if (gestures.State() == DragState::Idle)
        return;
    const bool moved = gestures.Move(ToStudio(at));
    if (moved && gestures.State() == DragState::MoveBox)
        SyncWidgets();
    canvas->update();
}

void CStudioView::ReleaseAt(QPoint at, Qt::MouseButton button)
{
    if (button != Qt::LeftButton || gestures.State() == DragState::Idle)
        return;
    gestures.Release(ToStudio(at));
    SyncWidgets();
    canvas->update();
}

void CStudioView::Wheel(QPoint at, int delta)
{
    if (delta == 0)
        return;
    // One notch zooms by a quarter of a doubling.
    SetZoom(zoom * std::pow(2.0, delta / 120.0 / 4.0), at);
}

void CStudioView::Key(int key)
{
    if (key == Qt::Key_Escape) {
        gestures.CancelDrag();
    } else if (key == Qt::Key_Delete) {
        if (CMachineContainer* box = gestures.Selected())
            BoxCommand(box, CStudioGestures::kDeleteMachine);
    }
    canvas->update();
}
