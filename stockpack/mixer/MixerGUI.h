#pragma once
// CMixerGUI: the mixer's editor: eight track strips and the two aux return
// strips (CMixerTrackGUI) side by side on the mixer's background (137).
// Mute and solo buttons call the mixer's own SetMute and SetSolo; on every
// display refresh the buttons follow the machine (soloing one strip shows
// the previous solo off) and the meters take the peaks the machine's Idle
// handed over.
//
// Threads: user-interface thread.

#include <memory>
#include <vector>

#include "stockpack/common/ParameterPanel.h"
#include "stockpack/mixer/MixerTrackGUI.h"

class CMixer;
class CSkinImages;

class CMixerGUI : public CParameterPanel {
public:
    static constexpr int kBackground = 137;

    /// images must be complete.
    CMixerGUI(CMixer* mixer, const CSkinImages& images);
    ~CMixerGUI() override;

    const CMixerTrackGUI& Track(int strip) const { return *tracks[static_cast<std::size_t>(strip)]; }

    void OnButtonClicked(CLiteButton* button) override;

protected:
    void RefreshViews() override;

private:
    CMixer* mixer;
    std::vector<std::unique_ptr<CMixerTrackGUI>> tracks;
};
