#pragma once
// CStudioView: the "Studio" page. A scroll area over a canvas on which the
// machine boxes, their connectors and the cables are painted; mouse and
// keys are translated into the gestures of CStudioGestures, which owns
// every rule. The view adds the widgets that live on boxes (default GUI,
// program tool bar), the custom editor windows, the cable volume slider,
// the menus and the rename dialog, and zooms (Ctrl+wheel, 0.25x to 4x,
// around the pointer).
//
// Menus and the rename dialog go through replaceable choosers so that tests
// answer them without a modal loop.
//
// Each box's level bar is read here from the peak the render path leaves in
// its container, on the view's own timer: only boxes the studio still lists
// are read, and deletion happens on this thread, so no container goes away
// during a read; the render path never waits for it.
//
// Threads: user-interface thread.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <QScrollArea>

#include "editors/StudioGestures.h"

class CCableVolumeSlider;
class CDefaultGUIView;
class CEditorWindow;
class CMachine;
class CMachineContainer;
class CMachineRegistry;
class CProgramToolBar;
class CStudio;
class CStudioCanvas;
class QTimer;

class CStudioView : public QScrollArea {
public:
    static constexpr double kMinZoom = 0.25;
    static constexpr double kMaxZoom = 4.0;

    CStudioView(CStudio& studio, const CMachineRegistry& registry, QWidget* parent = nullptr);
    ~CStudioView() override;

    studio_view::CStudioGestures& Gestures() { return gestures; }
    QWidget* Canvas() const;
    double Zoom() const { return zoom; }
    /// Zooms keeping the studio point under the canvas pixel anchor still.
    void SetZoom(double factor, QPoint anchor);
    void SetZoom(double factor);
    /// Canvas pixels of a studio point and back.
    QPoint ToCanvas(studio_view::PointF p) const;
    QPoint ToCanvas(studio_view::Point p) const { return ToCanvas(studio_view::PointF{double(p.x), double(p.y)}); }
    studio_view::Point ToStudio(QPointF canvas) const;

    /// Shows the entries and returns the chosen id, 0 for none.
    using MenuChooser = std::function<int(const std::vector<studio_view::MenuEntry>&, QPoint global)>;
    void SetMenuChooser(MenuChooser chooser) { menuChooser = std::move(chooser); }
    /// Asks for a new name; nothing when cancelled.
    using RenamePrompt = std::function<std::optional<std::string>(const std::string& current)>;
    void SetRenamePrompt(RenamePrompt prompt) { renamePrompt = std::move(prompt); }

    /// A box menu command (ids 1 .. 6).
    void BoxCommand(CMachineContainer* box, int id);
    /// Creates and drops box widgets to match the studio (a project was
    /// opened, a box changed its mode) and places them.
    void SyncWidgets();
    CDefaultGUIView* DefaultGui(const CMachineContainer* box) const;
    CProgramToolBar* ProgramBar(const CMachineContainer* box) const;
    CEditorWindow* EditorWindow(const CMachineContainer* box) const;
    CCableVolumeSlider* CableSlider() const { return cableSlider; }

    /// The level bar: silence below kLevelFloorDb, full at 0 dBFS; falls at
    /// the peak meter's 48 dB a second.
    static constexpr double kLevelFloorDb = -60.0;
    static constexpr int kLevelBarHeight = 3;
    /// The level a box's bar shows, in dBFS, kLevelFloorDb when dark.
    double LevelDb(const CMachineContainer* box) const;
    /// Lit fraction of a bar (0 .. 1) for a level.
    static double LevelFraction(double levelDb);
    /// A machine reported a parameter change: applies it and refreshes the
    /// default GUI's row.
    void OnParameterChanged(CMachine* machine, int index, double value);

    // Called by the canvas.
    void PressAt(QPoint canvas, Qt::MouseButton button, QPoint global);
    void MoveTo(QPoint canvas);
    void ReleaseAt(QPoint canvas, Qt::MouseButton button);
    void Wheel(QPoint canvas, int delta);
    void Key(int key);

private:
    struct BoxWidgets {
        CMachine* machine = nullptr;
        CDefaultGUIView* gui = nullptr;
        CProgramToolBar* programs = nullptr;
        CEditorWindow* editor = nullptr;
    };
    int Choose(const std::vector<studio_view::MenuEntry>& entries, QPoint global);
    void DropWidgets(CMachineContainer* box);
    void OpenEditor(CMachineContainer* box);
    void ShowCableSlider(studio_view::CableRef cable);
    void UpdateCanvasSize();
    std::size_t GraphSignature() const;
    void UpdateLevels();

    studio_view::CStudioGestures gestures;
    CStudio& studio;
    CStudioCanvas* canvas;
    CCableVolumeSlider* cableSlider;
    QTimer* refresh;
    QTimer* levelTimer;
    std::int64_t levelClockMs = -1;
    // Shown level per box, in dBFS; keys are only compared, never followed.
    std::map<const CMachineContainer*, double> levels;
    double zoom = 1.0;
    std::size_t signature = 0;
    std::map<const CMachineContainer*, BoxWidgets> widgets;
    MenuChooser menuChooser;
    RenamePrompt renamePrompt;
};
