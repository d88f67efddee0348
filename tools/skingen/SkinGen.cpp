// skingen: draws the studio's skin pictures and writes them as PNG files,
// which the build then embeds as the modules' "PNG" resources.
//
// Usage: skingen [<module> <id> <output.png>]...
//
// Each triple names a picture of SkinManifest; an unknown one is an error,
// so that the build's list and the manifest cannot drift apart silently.

#include <cstdio>
#include <cstdlib>
#include <exception>

#include "gui/PNGWriter.h"
#include "tools/skingen/SkinArtwork.h"
#include "tools/skingen/SkinManifest.h"

namespace {

CPicture Draw(const SkinEntry& entry)
{
    switch (entry.kind) {
    case SkinKind::Splash:
        return skin::Splash(entry.width, entry.height);
    case SkinKind::Panel:
        return skin::Panel(entry.width, entry.height, entry.label);
    case SkinKind::KnobStrip:
        return skin::KnobStrip(entry.width, entry.frames);
    case SkinKind::SliderThumb:
        return skin::SliderThumb(entry.width, entry.height, entry.horizontal);
    case SkinKind::SliderTrack:
        return skin::SliderTrack(entry.width, entry.height, entry.horizontal);
    case SkinKind::Button:
        return skin::Button(entry.width, entry.height, entry.label, entry.state);
    case SkinKind::ButtonStrip:
        return skin::ButtonStrip(entry.width, entry.height, entry.label);
    case SkinKind::LcdPanel:
        return skin::LcdPanel(entry.width, entry.height);
    case SkinKind::Icon:
        return skin::Icon(entry.width, entry.label);
    }
    return CPicture();
}

} // namespace

int main(int argc, char** argv)
{
    if ((argc - 1) % 3 != 0) {
        std::fprintf(stderr, "usage: skingen [<module> <id> <output.png>]...\n");
        return 2;
    }
    try {
        for (int i = 1; i + 2 < argc; i += 3) {
            char* end = nullptr;
            const long id = std::strtol(argv[i + 1], &end, 10);
            const SkinEntry* entry = end != argv[i + 1] && *end == '\0' ? FindSkin(argv[i], static_cast<int>(id)) : nullptr;
            if (entry == nullptr) {
                std::fprintf(stderr, "skingen: no picture %s %s in the manifest\n", argv[i], argv[i + 1]);
                return 1;
            }
            png::WritePNGFile(Draw(*entry), argv[i + 2]);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "skingen: %s\n", error.what());
        return 1;
    }
    return 0;
}
