#include "tools/skingen/SkinManifest.h"

#include <cstring>

namespace {

using K = SkinKind;

const std::vector<SkinEntry> kManifest = {
    // The host program.
    {"host", 130, K::Splash, 400, 250, 1, false, 0, "", "splash and about picture"},
    {"host", 142, K::SliderThumb, 10, 22, 1, true, 0, "", "master volume thumb (tool bar, 120 x 26 slider)"},
    {"host", 143, K::ButtonStrip, 20, 20, 3, false, 0, "", "tool bar button states, a 20 x 20 frame each"},
    {"host", 148, K::SliderTrack, 120, 26, 1, true, 0, "", "master volume track"},
    {"host", 138, K::Icon, 16, 16, 1, false, 0, "open", "Open Project tool bar icon"},
    {"host", 141, K::Icon, 16, 16, 1, false, 0, "save", "Save Project tool bar icon"},
    {"host", 147, K::Icon, 16, 16, 1, false, 0, "new", "New Project tool bar icon"},
    {"host", 153, K::SliderThumb, 12, 24, 1, true, 0, "", "default machine GUI slider thumb (129 x 24 slider)"},

    // The stock library: RedoRuviz.
    {"stockpack", 120, K::Panel, 320, 160, 1, false, 0, "KV REDORUVIZ", "RedoRuviz background"},
    {"stockpack", 103, K::KnobStrip, 32, 32, 101, false, 0, "", "RedoRuviz knob"},
    {"stockpack", 102, K::LcdPanel, 120, 16, 1, false, 0, "", "RedoRuviz factor display"},
    // RazuZuri (both types).
    {"stockpack", 132, K::Panel, 720, 344, 1, false, 0, "KV RAZUZURI", "RazuZuri background"},
    {"stockpack", 133, K::KnobStrip, 32, 32, 101, false, 0, "", "RazuZuri knob"},
    {"stockpack", 134, K::KnobStrip, 22, 22, 101, false, 0, "", "RazuZuri small knob"},
    {"stockpack", 135, K::ButtonStrip, 60, 16, 3, false, 0, "", "RazuZuri selector states"},
    // VUziD8.
    {"stockpack", 130, K::Panel, 600, 212, 1, false, 0, "KV VUZID8", "VUziD8 background"},
    {"stockpack", 131, K::KnobStrip, 28, 28, 101, false, 0, "", "VUziD8 knob"},
    // Mixer.
    {"stockpack", 137, K::Panel, 640, 350, 1, false, 0, "KV MIXER", "mixer background"},
    {"stockpack", 138, K::SliderThumb, 22, 12, 1, false, 0, "", "mixer fader cap (vertical)"},
    {"stockpack", 139, K::SliderTrack, 22, 160, 1, false, 0, "", "mixer fader track"},
    {"stockpack", 140, K::KnobStrip, 24, 24, 101, false, 0, "", "mixer pan and EQ knob"},
    {"stockpack", 141, K::Button, 28, 16, 1, false, 0, "M", "mute normal"},
    {"stockpack", 142, K::Button, 28, 16, 1, false, 1, "M", "mute hover"},
    {"stockpack", 143, K::Button, 28, 16, 1, false, 2, "M", "mute on"},
    {"stockpack", 144, K::Button, 28, 16, 1, false, 0, "S", "solo normal"},
    {"stockpack", 145, K::Button, 28, 16, 1, false, 1, "S", "solo hover"},
    {"stockpack", 146, K::Button, 28, 16, 1, false, 2, "S", "solo on"},
    {"stockpack", 147, K::LcdPanel, 56, 14, 1, false, 0, "", "mixer strip name display"},
    // DavarorOdir.
    {"stockpack", 104, K::Panel, 560, 214, 1, false, 0, "KV DAVARORODIR", "DavarorOdir background"},
    {"stockpack", 106, K::KnobStrip, 32, 32, 101, false, 0, "", "DavarorOdir knob"},
    {"stockpack", 107, K::Button, 44, 18, 1, false, 0, "ROOM", "room button normal"},
    {"stockpack", 108, K::Button, 44, 18, 1, false, 1, "ROOM", "room button hover"},
    {"stockpack", 109, K::Button, 44, 18, 1, false, 2, "ROOM", "room button pressed"},
    {"stockpack", 110, K::LcdPanel, 140, 16, 1, false, 0, "", "DavarorOdir status display"},
};

} // namespace

const std::vector<SkinEntry>& SkinManifest()
{
    return kManifest;
}

const SkinEntry* FindSkin(const char* module, int id)
{
    for (const SkinEntry& entry : kManifest) {
        if (entry.id == id && std::strcmp(entry.module, module) == 0)
            return &entry;
    }
    return nullptr;
}
