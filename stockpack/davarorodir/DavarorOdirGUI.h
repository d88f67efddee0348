#pragma once
// CDavarorOdirGUI: DavarorOdir's editor: a knob for each of its 14
// parameters (sources, listening points, room, tail) and a view pane that
// shows either the room (CRoomView, while the "ROOM" button is down) or
// the averaged early impulse (CImpulseView), with the view's time span on
// the status display. Both views are recomputed on the display refresh
// that finds a room parameter changed, never on the audio thread.
// Pictures: background 104, knob 106, room button 107-109, display 110.
//
// Threads: user-interface thread.

#include <string>
#include <vector>

#include "gui/LiteControl.h"
#include "stockpack/common/PanelLayout.h"
#include "stockpack/common/ParameterPanel.h"
#include "stockpack/davarorodir/DavarorOdirRoom.h"

class CDavarorOdir;
class CLiteButton;
class CLiteLCDText;
class CSkinImages;

/// The room from above, scaled to fit the view (aspect kept), with the
/// sources and listening points marked and labelled.
class CRoomView : public CLiteControl {
public:
    CRoomView(CLiteContainer* container, int x, int y, int width, int height);
    void SetRoom(const davarorodir::RoomGeometry& geometry);
    /// The view pixel of a point in metres.
    void PixelOf(const davarorodir::RoomPoint& point, int& px, int& py) const;
    /// Pixels per metre and the room's rectangle in the view.
    double Scale() const;
    void RoomRect(int& left, int& top, int& w, int& h) const;
    void Draw(CPicture& backBuffer) override;

private:
    davarorodir::RoomGeometry room;
};

/// The averaged impulse: each column the largest |tap| of its share of the
/// window, as a bar rising from the bottom (a gain of 1 fills the height).
class CImpulseView : public CLiteControl {
public:
    CImpulseView(CLiteContainer* container, int x, int y, int width, int height);
    void SetImpulse(const std::vector<double>& taps);
    /// The bar height of a column.
    int BarHeight(int column) const;
    void Draw(CPicture& backBuffer) override;

private:
    std::vector<double> columns;
};

class CDavarorOdirGUI : public CParameterPanel {
public:
    static constexpr int kBackground = 104;
    static constexpr int kKnob = 106;
    static constexpr int kRoomButton = 107;
    static constexpr int kDisplay = 110;
    static constexpr int kPaneX = 372;
    static constexpr int kPaneY = 30;
    static constexpr int kPaneSize = 172;
    static constexpr int kDisplayX = 16;
    static constexpr int kDisplayY = 172;
    static constexpr int kButtonX = 172;
    static constexpr int kButtonY = 171;

    static const std::vector<panel_layout::Row>& Rows();
    static const panel_layout::Metrics& Metrics();

    CDavarorOdirGUI(CDavarorOdir* machine, const CSkinImages& images, int sampleRate);

    const CRoomView& Room() const { return *roomView; }
    const CImpulseView& Impulse() const { return *impulseView; }
    const std::vector<double>& ImpulseTaps() const { return impulse; }
    bool ShowsRoom() const;

    void OnButtonClicked(CLiteButton* button) override;

protected:
    void RefreshViews() override;

private:
    void ShowPane();

    CDavarorOdir* machine;
    int sampleRate;
    CLiteButton* roomButton;
    CRoomView* roomView;
    CImpulseView* impulseView;
    CLiteLCDText* status;
    davarorodir::CRoomImpulse roomImpulse;
    std::vector<double> impulse;
    double shownValues[11];
    bool computed = false;
};
