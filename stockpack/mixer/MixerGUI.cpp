#include "stockpack/mixer/MixerGUI.h"

#include "framework/ScopedLock.h"
#include "gui/LiteButton.h"
#include "stockpack/common/LiteMeter.h"
#include "stockpack/common/SkinImages.h"
#include "stockpack/mixer/Mixer.h"

CMixerGUI::CMixerGUI(CMixer* mixer, const CSkinImages& images)
    : CParameterPanel(mixer, images.Get(kBackground)->GetWidth(), images.Get(kBackground)->GetHeight(),
                      images.Get(kBackground)),
      mixer(mixer)
{
    for (int strip = 0; strip < CMixer::kStrips; ++strip)
        tracks.push_back(std::make_unique<CMixerTrackGUI>(*this, *mixer, strip, images));
}

CMixerGUI::~CMixerGUI() = default;

void CMixerGUI::OnButtonClicked(CLiteButton* button)
{
    // A toggle reports the release that switches it on and the press that
    // switches it off; its state then says which.
    for (const auto& track : tracks) {
        const bool on = button->GetState() == CLiteButton::kPressed;
        if (button == track->Mute())
            mixer->SetMute(track->Strip(), on);
        else if (button == track->Solo())
            mixer->SetSolo(track->Strip(), on);
    }
}

void CMixerGUI::RefreshViews()
{
    bool muted[CMixer::kStrips];
    int soloed;
    {
        CScopedLock<CMachine> hold(*mixer);
        for (int strip = 0; strip < CMixer::kStrips; ++strip)
            muted[strip] = mixer->IsMuted(strip);
        soloed = mixer->SoloStrip();
    }
    for (const auto& track : tracks) {
        track->ShowSwitches(muted[track->Strip()], soloed == track->Strip());
        track->Meter()->Update();
    }
}
