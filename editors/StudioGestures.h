#pragma once
// CStudioGestures: what the studio view's mouse gestures do to the machine
// graph, without Qt. It lays the boxes out (size, cut corner, menu button,
// GUI container, one connector per port), finds what lies under a point
// (box, connector, cable triangle, cable), runs the drag state (0 idle,
// 1 dragging a cable, 2 moving a box), builds the New Machine, box and
// cable menus and carries out their commands through the engine's CStudio.
// All coordinates are the studio's own, unzoomed; the view scales.
//
// Threads: user-interface thread. Graph changes take the studio's locks
// inside CStudio.

#include <array>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

class CConnector;
class CMachineContainer;
class CMachineRegistry;
class CStudio;

namespace studio_view {

struct Point {
    int x = 0;
    int y = 0;
};

struct PointF {
    double x = 0.0;
    double y = 0.0;
};

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool Contains(Point p) const { return p.x >= x && p.y >= y && p.x < x + width && p.y < y + height; }
    int Right() const { return x + width; }
    int Bottom() const { return y + height; }
};

struct MenuEntry {
    int id = 0;          // 0 for a separator
    std::string text;
    bool enabled = true;
};

/// A cable as drawn: from the output's side to the input's, clipped to the
/// two boxes' edges, with the triangle of an audio cable.
struct Cable {
    CConnector* input = nullptr;
    int index = 0;                      // in the input's cable list
    PointF from;
    PointF to;
    bool audio = false;
    bool auxiliary = false;
    std::array<PointF, 3> triangle{};   // audio cables only
    PointF Centroid() const;
};

/// Which cable of which input.
struct CableRef {
    CConnector* input = nullptr;
    int index = -1;
    bool Valid() const { return input != nullptr && index >= 0; }
};

enum class DragState { Idle = 0, Cable = 1, MoveBox = 2 };

/// What a left press landed on.
enum class PressTarget { Nothing, Connector, Box, MenuButton, Triangle };

class CStudioGestures {
public:
    static constexpr int kBoxWidth = 128;
    static constexpr int kBoxHeight = 64;
    static constexpr int kCornerCut = 5;
    static constexpr int kMenuButtonRight = 17;   // button at (w - 17, 7)
    static constexpr int kMenuButtonTop = 7;
    static constexpr int kMenuButtonSize = 10;
    static constexpr int kGuiLeft = 4;
    static constexpr int kGuiTop = 19;
    static constexpr int kGuiTopBelowPrograms = 43;
    static constexpr int kProgramBarTop = 19;
    static constexpr int kProgramBarHeight = 20;
    static constexpr int kGuiMargin = 4;          // right of and below the GUI
    static constexpr int kConnectorSize = 10;
    static constexpr int kConnectorPitch = 11;
    static constexpr int kTriangleSize = 9;       // from the middle to each corner
    static constexpr int kExtentMargin = 64;      // room beyond the last box
    static constexpr int kCableTolerance = 4;     // pixels either side of a cable line
    static constexpr int kWidthStep = 8;          // fitted widths are multiples of this
    static constexpr int kCaptionLeft = 6;
    static constexpr int kCaptionGap = 3;         // between the caption and the menu button
    static constexpr int kPortNameLeft = 8;       // from the box edge to a port name
    static constexpr int kPortNameGap = 10;       // each port name keeps half the box less this

    // Box menu ids.
    static constexpr int kHideGui = 1;
    static constexpr int kShowDefaultGui = 2;
    static constexpr int kShowCustomGui = 3;
    static constexpr int kRename = 4;
    static constexpr int kRandomize = 5;
    static constexpr int kDeleteMachine = 6;
    // Cable menu id.
    static constexpr int kDisconnect = 1;

    CStudioGestures(CStudio& studio, const CMachineRegistry& registry);

    CStudio& Studio() { return studio; }

    /// Width in pixels of a text as the view paints it. The view passes its
    /// caption and port name fonts; without them a fixed estimate is used.
    using TextWidth = std::function<int(const std::string&)>;
    void SetTextMeasures(TextWidth caption, TextWidth portName);

    // --- Layout ---

    /// The width a box needs for its caption and port names: at least 128,
    /// a multiple of 8.
    int FittedWidth(const CMachineContainer* box) const;
    /// The box in studio coordinates; it grows to hold the default GUI.
    Rect BoxRect(const CMachineContainer* box) const;
    /// (0,0), (w-5,0), (w,5), (w,h), (0,h), relative to the box.
    std::array<Point, 5> BoxOutline(const CMachineContainer* box) const;
    Rect MenuButtonRect(const CMachineContainer* box) const;
    /// Where the GUI container sits, relative to the box.
    Point GuiOrigin(const CMachineContainer* box) const;
    bool HasProgramToolBar(const CMachineContainer* box) const;
    /// The program tool bar's place, relative to the box.
    Rect ProgramBarRect(const CMachineContainer* box) const;
    /// Inputs on the left edge, outputs on the right, in port order.
    Rect ConnectorRect(const CConnector* connector) const;
    PointF ConnectorCentre(const CConnector* connector) const;
    /// What the studio must be able to scroll over.
    Point Extent() const;

    // --- Hit testing (topmost box first) ---

    CMachineContainer* BoxAt(Point p) const;
    CConnector* ConnectorAt(Point p) const;
    CableRef TriangleAt(PointF p) const;
    /// A cable whose line passes within a few pixels of the point.
    CableRef CableAt(PointF p) const;
    std::vector<Cable> Cables() const;

    // --- Boxes in painting order (the last is in front) ---

    /// Follows the studio's list: new boxes in front, deleted ones gone.
    const std::vector<CMachineContainer*>& ZOrder() const;
    void BringToFront(CMachineContainer* box);
    CMachineContainer* Selected() const;
    void Select(CMachineContainer* box) { selected = box; }

    // --- Left-button gestures ---

    PressTarget Press(Point p);
    /// Moves the box or the cable end; returns whether anything changed.
    bool Move(Point p);
    /// Ends the gesture; a cable drag released over a connector connects
    /// by the connect rule. Returns whether a cable was made.
    bool Release(Point p);
    /// Escape: the cable drag ends with nothing made.
    void CancelDrag();
    DragState State() const { return state; }
    CConnector* DragStart() const { return dragStart; }
    CConnector* Hover() const { return hover; }
    Point LastPoint() const { return last; }
    /// Whether the connect rule would take a cable from the drag start to
    /// the connector under the pointer.
    bool HoverAccepts() const;
    /// The connect rule without making anything.
    bool WouldConnect(const CConnector* a, const CConnector* b) const;

    // --- Menus and commands ---

    /// Registry order; ids are 1-based registry positions; "Master" skipped.
    std::vector<MenuEntry> NewMachineMenu() const;
    /// Creates the type of menu id at the point; null for an unknown id.
    CMachineContainer* NewMachine(int id, Point at);
    std::vector<MenuEntry> BoxMenu(const CMachineContainer* box) const;
    static std::vector<MenuEntry> CableMenu();

    static bool HasDefaultGui(const CMachineContainer* box);
    static bool HasCustomGui(const CMachineContainer* box);
    /// Modes 0, 1, 2; leaving 2 tells the machine to close its editor.
    void SetGuiMode(CMachineContainer* box, int mode);
    /// False (and nothing changed) for an empty name or another box's name.
    bool Rename(CMachineContainer* box, const std::string& name);
    bool Randomize(CMachineContainer* box);
    /// Forgets the box here, then has the studio delete it; false for the
    /// master.
    bool DeleteMachine(CMachineContainer* box);
    /// Cable volume: slider position 0 .. 1 and back.
    double CablePosition(CableRef cable) const;
    void SetCablePosition(CableRef cable, double position);
    void Disconnect(CableRef cable);
    bool Exists(CableRef cable) const;

    /// The size of the default GUI shown in mode 1 (405 or 421 wide).
    static Point DefaultGuiSize(const CMachineContainer* box);

    /// Told of a box the New Machine menu made, before its edit is
    /// recorded, so that the pattern and sequence editors learn of it.
    void SetAfterCreate(std::function<void(CMachineContainer*)> hook) { afterCreate = std::move(hook); }
    /// Told before a box is deleted, so that views drop its widgets.
    void SetBeforeDelete(std::function<void(CMachineContainer*)> hook) { beforeDelete = std::move(hook); }

private:
    void SyncOrder() const;
    Rect BoxRectAt(const CMachineContainer* box, int x, int y) const;
    int PortsHeight(const CMachineContainer* box) const;
    int Measure(const TextWidth& measure, std::unordered_map<std::string, int>& cache, const std::string& text) const;

    CStudio& studio;
    const CMachineRegistry& registry;
    mutable std::vector<CMachineContainer*> order;
    CMachineContainer* selected = nullptr;
    DragState state = DragState::Idle;
    CMachineContainer* moving = nullptr;
    Point moveStart;   // the moving box's place when the drag began
    CConnector* dragStart = nullptr;
    CConnector* hover = nullptr;
    Point last;
    std::function<void(CMachineContainer*)> beforeDelete;
    std::function<void(CMachineContainer*)> afterCreate;
    TextWidth captionWidth;
    TextWidth portNameWidth;
    mutable std::unordered_map<std::string, int> captionCache;
    mutable std::unordered_map<std::string, int> portNameCache;
};

} // namespace studio_view
