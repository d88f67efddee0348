#include "stockpack/davarorodir/DavarorOdirGUI.h"

#include <algorithm>
#include <cmath>

#include "framework/ScopedLock.h"
#include "gui/BitmapFont.h"
#include "gui/LiteButton.h"
#include "gui/LiteLCDText.h"
#include "stockpack/common/PanelControls.h"
#include "stockpack/common/SkinImages.h"
#include "stockpack/davarorodir/DavarorOdir.h"

using namespace davarorodir;
using panel_layout::Cell;
using panel_layout::CellKind;
using P = CDavarorOdir;

namespace {

const ColorRef kWall = MakeColorRef(120, 128, 138);
const ColorRef kFloor = MakeColorRef(24, 27, 31);
const ColorRef kSource = MakeColorRef(0, 187, 255);
const ColorRef kListener = MakeColorRef(120, 220, 120);
const ColorRef kBar = MakeColorRef(0, 150, 204);
constexpr int kMargin = 6;
constexpr int kDot = 5;
/// The room parameters (sources, points, size, walls) the views depend on.
constexpr int kViewParameters = 11;

Cell Knob(int parameter, const char* label)
{
    return {parameter, CellKind::Knob, label};
}

/// A label beside a point: left points' labels end left of the dot,
/// right points' start right of it; sources above, listeners below; all
/// kept inside the view.
void DrawPointLabel(CPicture& target, const std::string& text, int px, int py, bool leftSide, bool above, int viewX,
                    int viewY, int viewW, int viewH, ColorRef color)
{
    const int width = CBitmapFont::TextWidth(text.c_str());
    int tx = leftSide ? px - width + kDot / 2 : px - kDot / 2;
    int ty = above ? py - kDot / 2 - 10 : py + kDot / 2 + 3;
    tx = std::clamp(tx, viewX + 2, viewX + viewW - width - 2);
    ty = std::clamp(ty, viewY + 2, viewY + viewH - 9);
    CBitmapFont::DrawText(target, tx, ty, text.c_str(), color);
}

} // namespace

// --- CRoomView ---

CRoomView::CRoomView(CLiteContainer* container, int x, int y, int width, int height)
    : CLiteControl(container, x, y, width, height)
{
    SetInput(false);
}

void CRoomView::SetRoom(const RoomGeometry& geometry)
{
    room = geometry;
}

double CRoomView::Scale() const
{
    const double usable = std::min(width, height) - 2 * kMargin - 20;   // room for labels
    return usable / std::max(room.width, room.height);
}

void CRoomView::RoomRect(int& left, int& top, int& w, int& h) const
{
    w = static_cast<int>(std::lround(room.width * Scale()));
    h = static_cast<int>(std::lround(room.height * Scale()));
    left = x + (width - w) / 2;
    top = y + (height - h) / 2;
}

void CRoomView::PixelOf(const RoomPoint& point, int& px, int& py) const
{
    int left = 0, top = 0, w = 0, h = 0;
    RoomRect(left, top, w, h);
    px = left + static_cast<int>(std::lround(point.x * Scale()));
    py = top + static_cast<int>(std::lround(point.y * Scale()));
}

void CRoomView::Draw(CPicture& backBuffer)
{
    backBuffer.FillRect(panel_colors::kPlotGround, x, y, width, height);
    int left = 0, top = 0, w = 0, h = 0;
    RoomRect(left, top, w, h);
    backBuffer.FillRect(kWall, left - 1, top - 1, w + 2, h + 2);
    backBuffer.FillRect(kFloor, left, top, w, h);
    struct Mark {
        const RoomPoint* point;
        const char* prefix;
        ColorRef color;
        bool leftSide;
        bool above;
    };
    const Mark marks[] = {{&room.sourceLeft, "Src L", kSource, true, true},
                          {&room.sourceRight, "Src R", kSource, false, true},
                          {&room.pointLeft, "Dst L", kListener, true, false},
                          {&room.pointRight, "Dst R", kListener, false, false}};
    for (const Mark& mark : marks) {
        int px = 0, py = 0;
        PixelOf(*mark.point, px, py);
        backBuffer.FillRect(mark.color, px - kDot / 2, py - kDot / 2, kDot, kDot);
        DrawPointLabel(backBuffer, PointLabel(mark.prefix, *mark.point), px, py, mark.leftSide, mark.above, x, y,
                       width, height, mark.color);
    }
}

// --- CImpulseView ---

CImpulseView::CImpulseView(CLiteContainer* container, int x, int y, int width, int height)
    : CLiteControl(container, x, y, width, height)
{
    SetInput(false);
}

void CImpulseView::SetImpulse(const std::vector<double>& taps)
{
    columns.assign(static_cast<std::size_t>(std::max(width, 0)), 0.0);
    if (taps.empty() || width <= 0)
        return;
    for (std::size_t k = 0; k < taps.size(); ++k) {
        const std::size_t column = k * columns.size() / taps.size();
        columns[column] = std::max(columns[column], std::fabs(taps[k]));
    }
}

int CImpulseView::BarHeight(int column) const
{
    if (column < 0 || column >= static_cast<int>(columns.size()))
        return 0;
    const double share = std::min(columns[static_cast<std::size_t>(column)], 1.0);
    return static_cast<int>(std::lround(share * (height - 2)));
}

void CImpulseView::Draw(CPicture& backBuffer)
{
    backBuffer.FillRect(panel_colors::kPlotGround, x, y, width, height);
    for (int quarter = 1; quarter < 4; ++quarter)
        backBuffer.FillRect(panel_colors::kPlotGrid, x + quarter * width / 4, y, 1, height);
    for (int column = 0; column < static_cast<int>(columns.size()); ++column) {
        const int bar = BarHeight(column);
        if (bar > 0)
            backBuffer.FillRect(kBar, x + column, y + height - bar, 1, bar);
    }
}

// --- CDavarorOdirGUI ---

const std::vector<panel_layout::Row>& CDavarorOdirGUI::Rows()
{
    static const std::vector<panel_layout::Row> rows = {
        {{"SOURCES", {Knob(P::kSrcLeftX, "L X"), Knob(P::kSrcLeftY, "L Y"), Knob(P::kSrcRightX, "R X"),
                      Knob(P::kSrcRightY, "R Y")}},
         {"LISTENERS", {Knob(P::kDstLeftX, "L X"), Knob(P::kDstLeftY, "L Y"), Knob(P::kDstRightX, "R X"),
                        Knob(P::kDstRightY, "R Y")}}},
        {{"ROOM", {Knob(P::kRoomWidth, "WIDTH"), Knob(P::kRoomHeight, "DEPTH"), Knob(P::kWallAbsorb, "ABSORB")}},
         {"TAIL", {Knob(P::kFeedback, "FEEDBK"), Knob(P::kCutoff, "CUTOFF"), Knob(P::kGain, "GAIN")}}},
    };
    return rows;
}

const panel_layout::Metrics& CDavarorOdirGUI::Metrics()
{
    static const panel_layout::Metrics metrics = [] {
        panel_layout::Metrics m;
        m.justifyRight = 352;
        return m;
    }();
    return metrics;
}

CDavarorOdirGUI::CDavarorOdirGUI(CDavarorOdir* machine, const CSkinImages& images, int sampleRate)
    : CParameterPanel(machine, images.Get(kBackground)->GetWidth(), images.Get(kBackground)->GetHeight(),
                      images.Get(kBackground)),
      machine(machine), sampleRate(sampleRate)
{
    AddPlacement(panel_layout::Place(Rows(), Metrics()), Metrics(), images.Get(kKnob), nullptr, nullptr);
    const CPicture* display = images.Get(kDisplay);
    new CPanelPicture(this, kDisplayX, kDisplayY, display);
    status = new CLiteLCDText(this, kDisplayX + 4, kDisplayY + (display->GetHeight() - 7) / 2,
                              display->GetWidth() - 8, 7, 0.9);
    status->SetInput(false);
    roomButton = new CLiteButton(this, kButtonX, kButtonY, images.Get(kRoomButton)->GetWidth(),
                                 images.Get(kRoomButton)->GetHeight(), images.Get(kRoomButton),
                                 images.Get(kRoomButton + 1), images.Get(kRoomButton + 2), true);
    roomButton->SetState(CLiteButton::kPressed);
    AddLabel(kPaneX, kPaneY - 11, "VIEW", true);
    roomView = new CRoomView(this, kPaneX, kPaneY, kPaneSize, kPaneSize);
    impulseView = new CImpulseView(this, kPaneX, kPaneY, kPaneSize, kPaneSize);
    ShowPane();
}

bool CDavarorOdirGUI::ShowsRoom() const
{
    return roomButton->GetState() == CLiteButton::kPressed;
}

void CDavarorOdirGUI::ShowPane()
{
    roomView->SetVisible(ShowsRoom());
    impulseView->SetVisible(!ShowsRoom());
    Redraw(kPaneX, kPaneY, kPaneSize, kPaneSize);
}

void CDavarorOdirGUI::OnButtonClicked(CLiteButton* button)
{
    if (button == roomButton)
        ShowPane();
}

void CDavarorOdirGUI::RefreshViews()
{
    double values[P::kParameterCount];
    {
        CScopedLock<CMachine> hold(*machine);
        for (int i = 0; i < P::kParameterCount; ++i)
            values[i] = machine->GetParameter(i);
    }
    if (computed && std::equal(values, values + kViewParameters, shownValues))
        return;
    std::copy(values, values + kViewParameters, shownValues);
    computed = true;
    roomView->SetRoom(GeometryOf(values));
    roomImpulse.Compute(values, sampleRate, impulse);
    impulseView->SetImpulse(impulse);
    status->SetText(ViewTimeLabel(static_cast<int>(impulse.size()), sampleRate).c_str());
    Redraw(kPaneX, kPaneY, kPaneSize, kPaneSize);
}
