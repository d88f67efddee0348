#pragma once
// Which picture each module's PNG resource id holds: its kind, its size and
// what draws on it. The host's ids and the stock library's are fixed by the
// code that loads them; the sizes are the editors' layouts.

#include <vector>

enum class SkinKind { Splash, Panel, KnobStrip, SliderThumb, SliderTrack, Button, ButtonStrip, LcdPanel, Icon };

struct SkinEntry {
    const char* module;      // "host" or "stockpack"
    int id;
    SkinKind kind;
    int width;
    int height;              // of one frame for strips
    int frames;              // knob strips
    bool horizontal;         // thumbs and tracks
    int state;               // buttons: 0 normal, 1 hover, 2 pressed
    const char* label;       // panel titles, button labels, icon glyphs ("new", "open", "save")
    const char* purpose;
};

const std::vector<SkinEntry>& SkinManifest();
/// The entry of a module's id, or null.
const SkinEntry* FindSkin(const char* module, int id);
