#include "editors/StudioGestures.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "editors/DefaultGUI.h"
#include "framework/Connection.h"
#include "framework/Machine.h"
#include "framework/MachineInfo.h"
#include "framework/Port.h"
#include "host/CableVolume.h"
#include "host/Connector.h"
#include "host/MachineContainer.h"
#include "host/MachineRegistry.h"
#include "host/Studio.h"
#include "host/ParameterStep.h"

namespace studio_view {

namespace {

constexpr int kKindBits = kPortAudio | kPortControl;
constexpr int kDirectionBits = kPortInput | kPortOutput;
constexpr int kPortsTop = 22;   // first connector, below the caption

/// Which slot on its edge a connector takes: its place among the box's
/// ports of the same direction.
int SlotOf(const CConnector* connector)
{
    int slot = 0;
    for (const CConnector* other : connector->owner->connectors) {
        if (other == connector)
            return slot;
        if (other->IsInput() == connector->IsInput())
            ++slot;
    }
    return slot;
}

/// A headless stand-in for the fonts: pixels per character, counting
/// UTF-8 sequences rather than bytes.
int EstimatedWidth(const std::string& text, int perCharacter)
{
    int characters = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80)
            ++characters;
    return characters * perCharacter;
}

std::string PortName(const CConnector* connector)
{
    // Ports are packed records: the name pointer is copied out rather than
    // read in place.
    const char* name = nullptr;
    std::memcpy(&name, &connector->port->name, sizeof name);
    return name != nullptr ? name : "";
}

double Cross(PointF o, PointF a, PointF b)
{
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

bool InsideTriangle(const std::array<PointF, 3>& t, PointF p)
{
    const double d1 = Cross(t[0], t[1], p);
    const double d2 = Cross(t[1], t[2], p);
    const double d3 = Cross(t[2], t[0], p);
    const bool negative = d1 < 0 || d2 < 0 || d3 < 0;
    const bool positive = d1 > 0 || d2 > 0 || d3 > 0;
    return !(negative && positive);
}

double DistanceToSegment(PointF a, PointF b, PointF p)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double lengthSquared = dx * dx + dy * dy;
    double t = lengthSquared > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / lengthSquared : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y);
}

} // namespace

PointF Cable::Centroid() const
{
    return {(triangle[0].x + triangle[1].x + triangle[2].x) / 3.0, (triangle[0].y + triangle[1].y + triangle[2].y) / 3.0};
}

CStudioGestures::CStudioGestures(CStudio& studio, const CMachineRegistry& registry)
    : studio(studio), registry(registry),
      captionWidth([](const std::string& text) { return EstimatedWidth(text, 7); }),
      portNameWidth([](const std::string& text) { return EstimatedWidth(text, 5); })
{
}

void CStudioGestures::SetTextMeasures(TextWidth caption, TextWidth portName)
{
    captionWidth = std::move(caption);
    portNameWidth = std::move(portName);
    captionCache.clear();
    portNameCache.clear();
}

int CStudioGestures::Measure(const TextWidth& measure, std::unordered_map<std::string, int>& cache,
                             const std::string& text) const
{
    // Hit tests lay every box out on each mouse move; fonts are slow.
    const auto found = cache.find(text);
    if (found != cache.end())
        return found->second;
    const int width = measure(text);
    cache.emplace(text, width);
    return width;
}

int CStudioGestures::FittedWidth(const CMachineContainer* box) const
{
    // The caption runs from its left margin to just before the menu button.
    int width = kCaptionLeft + Measure(captionWidth, captionCache, box->GetName()) + 1 + kCaptionGap + kMenuButtonRight;
    // An input and an output share a row; each name has half the box.
    for (const CConnector* connector : box->connectors) {
        const int name = Measure(portNameWidth, portNameCache, PortName(connector)) + 1;
        width = std::max(width, 2 * (name + kPortNameGap));
    }
    width = std::max(width, kBoxWidth);
    return (width + kWidthStep - 1) / kWidthStep * kWidthStep;
}

// --- Layout ---

Point CStudioGestures::DefaultGuiSize(const CMachineContainer* box)
{
    const int count = std::max(box->machine->parameterCount, 0);
    const int height = count * CDefaultGUI::kRowHeight + CDefaultGUI::kMargin;
    if (height <= CDefaultGUI::kMaxHeight)
        return {CDefaultGUI::kWidth, height};
    return {CDefaultGUI::kScrolledWidth, CDefaultGUI::kMaxHeight};
}

int CStudioGestures::PortsHeight(const CMachineContainer* box) const
{
    int inputs = 0;
    int outputs = 0;
    for (const CConnector* connector : box->connectors)
        (connector->IsInput() ? inputs : outputs)++;
    return kPortsTop + std::max(inputs, outputs) * kConnectorPitch + 4;
}

Rect CStudioGestures::BoxRectAt(const CMachineContainer* box, int x, int y) const
{
    int width = FittedWidth(box);
    int height = std::max(kBoxHeight, PortsHeight(box));
    if (box->guiMode == GuiMode::DefaultGui) {
        const Point gui = DefaultGuiSize(box);
        const Point origin = GuiOrigin(box);
        width = std::max(width, origin.x + gui.x + kGuiMargin);
        height = std::max(height, origin.y + gui.y + kGuiMargin);
    } else if (HasProgramToolBar(box)) {
        height = std::max(height, kGuiTopBelowPrograms + kGuiMargin);
    }
    return {x, y, width, height};
}

Rect CStudioGestures::BoxRect(const CMachineContainer* box) const
{
    return BoxRectAt(box, box->x, box->y);
}

std::array<Point, 5> CStudioGestures::BoxOutline(const CMachineContainer* box) const
{
    const Rect r = BoxRect(box);
    return {Point{0, 0}, Point{r.width - kCornerCut, 0}, Point{r.width, kCornerCut}, Point{r.width, r.height},
            Point{0, r.height}};
}

Rect CStudioGestures::MenuButtonRect(const CMachineContainer* box) const
{
    const Rect r = BoxRect(box);
    return {r.width - kMenuButtonRight, kMenuButtonTop, kMenuButtonSize, kMenuButtonSize};
}

bool CStudioGestures::HasProgramToolBar(const CMachineContainer* box) const
{
    return box->machine->programCount > 0;
}

Point CStudioGestures::GuiOrigin(const CMachineContainer* box) const
{
    return {kGuiLeft, HasProgramToolBar(box) ? kGuiTopBelowPrograms : kGuiTop};
}

Rect CStudioGestures::ProgramBarRect(const CMachineContainer* box) const
{
    const Rect r = BoxRect(box);
    return {kGuiLeft, kProgramBarTop, std::min(r.width - 2 * kGuiLeft, 200), kProgramBarHeight};
}

Rect CStudioGestures::ConnectorRect(const CConnector* connector) const
{
    const Rect box = BoxRect(connector->owner);
    const int top = box.y + kPortsTop + SlotOf(connector) * kConnectorPitch;
    const int half = kConnectorSize / 2;
    const int left = connector->IsInput() ? box.x - half - 1 : box.Right() - half + 1;
    return {left, top, kConnectorSize, kConnectorSize};
}

PointF CStudioGestures::ConnectorCentre(const CConnector* connector) const
{
    const Rect r = ConnectorRect(connector);
    return {r.x + r.width / 2.0, r.y + r.height / 2.0};
}

Point CStudioGestures::Extent() const
{
    Point extent;
    for (const CMachineContainer* box : studio.Containers()) {
        const Rect r = BoxRect(box);
        extent.x = std::max(extent.x, r.Right() + kExtentMargin);
        extent.y = std::max(extent.y, r.Bottom() + kExtentMargin);
    }
    return extent;
}

// --- Order ---

void CStudioGestures::SyncOrder() const
{
    const auto& boxes = studio.Containers();
    std::erase_if(order, [&](CMachineContainer* box) { return std::find(boxes.begin(), boxes.end(), box) == boxes.end(); });
    for (CMachineContainer* box : boxes) {
        if (std::find(order.begin(), order.end(), box) == order.end())
            order.push_back(box);
    }
}

const std::vector<CMachineContainer*>& CStudioGestures::ZOrder() const
{
    SyncOrder();
    return order;
}

void CStudioGestures::BringToFront(CMachineContainer* box)
{
    SyncOrder();
    const auto found = std::find(order.begin(), order.end(), box);
    if (found == order.end())
        return;
    order.erase(found);
    order.push_back(box);
}

CMachineContainer* CStudioGestures::Selected() const
{
    const auto& boxes = studio.Containers();
    return std::find(boxes.begin(), boxes.end(), selected) != boxes.end() ? selected : nullptr;
}

// --- Hit testing ---

CMachineContainer* CStudioGestures::BoxAt(Point p) const
{
    const auto& boxes = ZOrder();
    for (auto it = boxes.rbegin(); it != boxes.rend(); ++it) {
        const Rect r = BoxRect(*it);
        if (!r.Contains(p))
            continue;
        // The cut corner belongs to what lies behind.
        const int dx = p.x - (r.Right() - kCornerCut);
        const int dy = p.y - r.y;
        if (dx > 0 && dy < dx)
            continue;
        return *it;
    }
    return nullptr;
}

CConnector* CStudioGestures::ConnectorAt(Point p) const
{
    const auto& boxes = ZOrder();
    for (auto it = boxes.rbegin(); it != boxes.rend(); ++it) {
        for (CConnector* connector : (*it)->connectors) {
            if (ConnectorRect(connector).Contains(p))
                return connector;
        }
    }
    return nullptr;
}

std::vector<Cable> CStudioGestures::Cables() const
{
    std::vector<Cable> cables;
    for (const CMachineContainer* box : studio.Containers()) {
        for (CConnector* input : box->connectors) {
            for (std::size_t i = 0; i < input->connections.size(); ++i) {
                const CConnector* output = input->connections[i]->source;
                Cable cable;
                cable.input = input;
                cable.index = static_cast<int>(i);
                cable.from = ConnectorCentre(output);
                cable.to = ConnectorCentre(input);
                cable.audio = input->IsAudio();
                cable.auxiliary = input->IsAuxiliary() || output->IsAuxiliary();
                if (cable.audio) {
                    // Pointing along the signal, centred on the middle.
                    const PointF mid{(cable.from.x + cable.to.x) / 2, (cable.from.y + cable.to.y) / 2};
                    double dx = cable.to.x - cable.from.x;
                    double dy = cable.to.y - cable.from.y;
                    const double length = std::hypot(dx, dy);
                    if (length > 0) {
                        dx /= length;
                        dy /= length;
                    } else {
                        dx = 1;
                        dy = 0;
                    }
                    const double s = kTriangleSize;
                    cable.triangle = {PointF{mid.x + dx * s, mid.y + dy * s},
                                      PointF{mid.x - dx * s * 0.5 - dy * s * 0.87, mid.y - dy * s * 0.5 + dx * s * 0.87},
                                      PointF{mid.x - dx * s * 0.5 + dy * s * 0.87, mid.y - dy * s * 0.5 - dx * s * 0.87}};
                }
                cables.push_back(cable);
            }
        }
    }
    return cables;
}

CableRef CStudioGestures::TriangleAt(PointF p) const
{
    for (const Cable& cable : Cables()) {
        if (cable.audio && InsideTriangle(cable.triangle, p))
            return {cable.input, cable.index};
    }
    return {};
}

CableRef CStudioGestures::CableAt(PointF p) const
{
    for (const Cable& cable : Cables()) {
        if (DistanceToSegment(cable.from, cable.to, p) <= kCableTolerance)
            return {cable.input, cable.index};
    }
    return {};
}

// --- Gestures ---

PressTarget CStudioGestures::Press(Point p)
{
    last = p;
    if (CConnector* connector = ConnectorAt(p)) {
        BringToFront(connector->owner);
        state = DragState::Cable;
        dragStart = connector;
        hover = nullptr;
        return PressTarget::Connector;
    }
    if (CMachineContainer* box = BoxAt(p)) {
        BringToFront(box);
        selected = box;
        const Rect r = BoxRect(box);
        const Rect button = MenuButtonRect(box);
        if (button.Contains({p.x - r.x, p.y - r.y}))
            return PressTarget::MenuButton;
        state = DragState::MoveBox;
        moving = box;
        moveStart = {box->x, box->y};
        return PressTarget::Box;
    }
    selected = nullptr;
    if (TriangleAt({double(p.x), double(p.y)}).Valid())
        return PressTarget::Triangle;
    return PressTarget::Nothing;
}

bool CStudioGestures::Move(Point p)
{
    const Point from = last;
    last = p;
    if (state == DragState::MoveBox && moving != nullptr) {
        const int oldX = moving->x;
        const int oldY = moving->y;
        moving->MoveTo(oldX + p.x - from.x, oldY + p.y - from.y);
        // Stopped at the edge: the pointer's place on the box stays put.
        last.x = from.x + moving->x - oldX;
        last.y = from.y + moving->y - oldY;
        return moving->x != oldX || moving->y != oldY;
    }
    if (state == DragState::Cable) {
        hover = ConnectorAt(p);
        if (hover == dragStart)
            hover = nullptr;
        return true;
    }
    return false;
}

bool CStudioGestures::Release(Point p)
{
    bool made = false;
    if (state == DragState::Cable) {
        CConnector* end = ConnectorAt(p);
        made = studio.Connect(dragStart, end, 1.0) != nullptr;
        if (made)
            studio.Journal().Record("Connect");
    } else if (state == DragState::MoveBox) {
        Move(p);
        CInPlaceStep step;
        if (CMachineContainer* box = moving) {
            const Point before = moveStart;
            const Point after{box->x, box->y};
            step = {[=] { box->MoveTo(before.x, before.y); }, [=] { box->MoveTo(after.x, after.y); }};
        }
        studio.Journal().Record("Move Machine", std::move(step));
    }
    state = DragState::Idle;
    moving = nullptr;
    dragStart = nullptr;
    hover = nullptr;
    return made;
}

void CStudioGestures::CancelDrag()
{
    if (state == DragState::Cable) {
        state = DragState::Idle;
        dragStart = nullptr;
        hover = nullptr;
    }
}

bool CStudioGestures::WouldConnect(const CConnector* a, const CConnector* b) const
{
    if (a == nullptr || b == nullptr || a->owner == b->owner)
        return false;
    const int aFlags = a->port->flags;
    const int bFlags = b->port->flags;
    if ((aFlags & kKindBits) != (bFlags & kKindBits) || (aFlags & kDirectionBits) == (bFlags & kDirectionBits))
        return false;
    const CConnector* output = (aFlags & kPortOutput) ? a : b;
    const CConnector* input = output == a ? b : a;
    if (!(output->port->flags & kPortOutput) || !(input->port->flags & kPortInput))
        return false;
    return input->FindConnectionFrom(output) < 0 && !studio.WouldCloseCycle(output, input);
}

bool CStudioGestures::HoverAccepts() const
{
    return state == DragState::Cable && WouldConnect(dragStart, hover);
}

// --- Menus and commands ---

std::vector<MenuEntry> CStudioGestures::NewMachineMenu() const
{
    std::vector<MenuEntry> entries;
    for (int i = 0; i < registry.Count(); ++i) {
        const CMachineInfo* descriptor = registry.At(i).descriptor;
        if (descriptor == nullptr || descriptor->name == nullptr || std::string(descriptor->name) == "Master")
            continue;
        entries.push_back({i + 1, descriptor->name, true});
    }
    return entries;
}

CMachineContainer* CStudioGestures::NewMachine(int id, Point at)
{
    if (id < 1 || id > registry.Count())
        return nullptr;
    CMachineInfo* descriptor = registry.At(id - 1).descriptor;
    if (descriptor == nullptr || descriptor->name == nullptr || std::string(descriptor->name) == "Master")
        return nullptr;
    CMachineContainer* box = studio.CreateMachine(descriptor, at.x, at.y);
    if (box != nullptr) {
        BringToFront(box);
        selected = box;
        if (afterCreate)
            afterCreate(box);
        studio.Journal().Record("New Machine");
    }
    return box;
}

bool CStudioGestures::HasDefaultGui(const CMachineContainer* box)
{
    return box->machine->parameterCount > 0;
}

bool CStudioGestures::HasCustomGui(const CMachineContainer* box)
{
    std::int16_t top = 0, left = 0, bottom = 0, right = 0;
    return box->machine->GetEditorRect(&top, &left, &bottom, &right);
}

std::vector<MenuEntry> CStudioGestures::BoxMenu(const CMachineContainer* box) const
{
    const bool master = box == studio.MasterContainer();
    return {
        {kHideGui, "Hide GUI", true},
        {kShowDefaultGui, "Show Default GUI", HasDefaultGui(box)},
        {kShowCustomGui, "Show Custom GUI", HasCustomGui(box)},
        {0, "", true},
        {kRename, "Rename", true},
        {kRandomize, "Randomize", box->machine->parameterCount > 0},
        {kDeleteMachine, "Delete Machine", !master},
    };
}

std::vector<MenuEntry> CStudioGestures::CableMenu()
{
    return {{kDisconnect, "Disconnect", true}};
}

void CStudioGestures::SetGuiMode(CMachineContainer* box, int mode)
{
    if (mode < 0 || mode > 2)
        return;
    if (box->guiMode == GuiMode::CustomGui && mode != 2)
        box->machine->CloseEditor();
    box->guiMode = static_cast<GuiMode>(mode);
}

bool CStudioGestures::Rename(CMachineContainer* box, const std::string& name)
{
    // Projects find machines by name, so two boxes never share one.
    if (name.empty())
        return false;
    CMachineContainer* owner = studio.FindByName(name.c_str());
    if (owner != nullptr && owner != box)
        return false;
    const std::string before = box->GetName();
    box->SetName(name.c_str());
    studio.Journal().Record("Rename Machine", {[=] { box->SetName(before.c_str()); },
                                               [=] { box->SetName(name.c_str()); }});
    return true;
}

bool CStudioGestures::Randomize(CMachineContainer* box)
{
    CMachine* machine = box != nullptr ? box->machine : nullptr;
    std::vector<double> before;
    for (int i = 0; machine != nullptr && i < machine->parameterCount; ++i)
        before.push_back(machine->GetParameter(i));
    const bool changed = studio.Randomize(box);
    if (!changed)
        return false;
    // Every parameter back and forth as a knob would set it.
    CInPlaceStep step;
    for (int i = 0; i < static_cast<int>(before.size()); ++i) {
        CInPlaceStep one = ParameterStep(machine, i, before[static_cast<std::size_t>(i)], machine->GetParameter(i));
        step = i == 0 ? std::move(one) : CInPlaceStep::Then(std::move(step), std::move(one));
    }
    studio.Journal().Record("Randomize", std::move(step));
    return true;
}

bool CStudioGestures::DeleteMachine(CMachineContainer* box)
{
    if (box == nullptr || box == studio.MasterContainer())
        return false;
    const auto& boxes = studio.Containers();
    if (std::find(boxes.begin(), boxes.end(), box) == boxes.end())
        return false;
    if (beforeDelete)
        beforeDelete(box);
    if (box->guiMode == GuiMode::CustomGui)
        SetGuiMode(box, 0);
    if (moving == box)
        moving = nullptr;
    if (dragStart != nullptr && dragStart->owner == box)
        CancelDrag();
    if (hover != nullptr && hover->owner == box)
        hover = nullptr;
    if (selected == box)
        selected = nullptr;
    std::erase(order, box);
    const bool deleted = studio.DeleteMachine(box);
    if (deleted)
        studio.Journal().Record("Delete Machine");
    return deleted;
}

bool CStudioGestures::Exists(CableRef cable) const
{
    if (!cable.Valid())
        return false;
    for (const CMachineContainer* box : studio.Containers()) {
        for (const CConnector* input : box->connectors) {
            if (input == cable.input)
                return cable.index < static_cast<int>(input->connections.size());
        }
    }
    return false;
}

double CStudioGestures::CablePosition(CableRef cable) const
{
    if (!Exists(cable))
        return 0.0;
    return CablePositionFromGain(cable.input->connections[static_cast<std::size_t>(cable.index)]->volume);
}

void CStudioGestures::SetCablePosition(CableRef cable, double position)
{
    if (!Exists(cable))
        return;
    // A single aligned double store: the processing threads glide towards
    // it and never see a torn value.
    auto* connection = cable.input->connections[static_cast<std::size_t>(cable.index)];
    const double before = connection->volume;
    const double after = CableGainFromPosition(std::clamp(position, 0.0, 1.0));
    connection->volume = after;
    // One step for the whole slider drag, taken when the button goes up.
    studio.Journal().Continue("Cable Volume", {[=] { connection->volume = before; },
                                               [=] { connection->volume = after; }, connection});
}

void CStudioGestures::Disconnect(CableRef cable)
{
    if (Exists(cable)) {
        studio.Disconnect(cable.input, cable.index);
        studio.Journal().Record("Disconnect");
    }
}

} // namespace studio_view
