#include "tools/skingen/SkinArtwork.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "tools/skingen/SkinCanvas.h"

namespace skin {
namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kSweepDegrees = 135.0f;

// The palette. Accents follow the colour table (entries 12 and 13).
const Rgba kPanelTop = Color(48, 52, 59);
const Rgba kPanelBottom = Color(29, 31, 35);
const Rgba kBevelLight = Color(78, 84, 94);
const Rgba kBevelDark = Color(12, 13, 15);
const Rgba kLabel = Color(158, 168, 178);
const Rgba kLabelBright = Color(226, 232, 238);
const Rgba kAccent = Color(0, 150, 204);
const Rgba kAccentBright = Color(0, 187, 255);
const Rgba kGroove = Color(14, 15, 17);
const Rgba kArcTrack = Color(58, 62, 70);

int RoundInt(float v)
{
    return static_cast<int>(std::lround(v));
}

/// Angle of (x, y) around (cx, cy) in degrees, 0 at the top, clockwise.
float AngleOf(float x, float y, float cx, float cy)
{
    return std::atan2(x - cx, cy - y) * 180.0f / kPi;
}

/// Distance to an arc of a ring (round caps) between two angles.
float ArcDistance(float x, float y, float cx, float cy, float radius, float width, float from, float to)
{
    const float angle = AngleOf(x, y, cx, cy);
    if (angle >= from && angle <= to)
        return std::fabs(std::hypot(x - cx, y - cy) - radius) - width * 0.5f;
    const auto capDistance = [&](float degrees) {
        const float a = degrees * kPi / 180.0f;
        return std::hypot(x - (cx + radius * std::sin(a)), y - (cy - radius * std::cos(a))) - width * 0.5f;
    };
    return std::min(capDistance(from), capDistance(to));
}

void Screw(CSkinCanvas& canvas, float cx, float cy)
{
    const int box[4] = {RoundInt(cx - 5), RoundInt(cy - 5), RoundInt(cx + 6), RoundInt(cy + 6)};
    canvas.Fill([=](float x, float y) { return shape::Circle(x, y, cx, cy + 0.6f, 3.2f); }, WithAlpha(kBevelDark, 0.8f),
                box[0], box[1], box[2], box[3]);
    canvas.Fill([=](float x, float y) { return shape::Circle(x, y, cx, cy, 3.0f); },
                [=](float, float y) { return Mix(Color(120, 126, 136), Color(60, 64, 72), (y - cy + 3.0f) / 6.0f); },
                box[0], box[1], box[2], box[3]);
    canvas.Fill([=](float x, float y) { return shape::Capsule(x, y, cx - 2.0f, cy + 1.2f, cx + 2.0f, cy - 1.2f, 1.0f); },
                WithAlpha(kBevelDark, 0.9f), box[0], box[1], box[2], box[3]);
}

void Bevel(CSkinCanvas& canvas)
{
    const int w = canvas.Width();
    const int h = canvas.Height();
    for (int x = 0; x < w; ++x) {
        canvas.Blend(x, 0, kBevelLight, 0.9f);
        canvas.Blend(x, h - 1, kBevelDark);
    }
    for (int y = 0; y < h; ++y) {
        canvas.Blend(0, y, kBevelLight, 0.6f);
        canvas.Blend(w - 1, y, kBevelDark);
    }
}

} // namespace

CPicture Panel(int width, int height, const char* title)
{
    CSkinCanvas canvas(width, height, kPanelBottom);
    const float h = static_cast<float>(std::max(height, 1));
    canvas.Paint([&](float, float y) { return Mix(kPanelTop, kPanelBottom, y / h); });
    canvas.Grain(0.018f, static_cast<unsigned>(width * 31 + height));

    // Title strip with an accent rule under it.
    constexpr int kStrip = 18;
    if (height > kStrip + 8) {
        canvas.Fill([&](float x, float y) { return shape::RoundedRect(x, y, 0, 0, width, kStrip, 0); },
                    WithAlpha(Color(18, 20, 23), 0.55f), 0, 0, width, kStrip);
        for (int x = 0; x < width; ++x) {
            const float fade = 1.0f - std::fabs(x - width * 0.5f) / (width * 0.5f);
            canvas.Blend(x, kStrip, kAccent, 0.25f + 0.5f * fade);
        }
        if (title != nullptr && title[0] != '\0') {
            canvas.Text(10, 6, title, WithAlpha(kBevelDark, 0.8f));
            canvas.Text(9, 5, title, kLabelBright);
        }
    }
    Bevel(canvas);
    if (width >= 40 && height >= 40) {
        Screw(canvas, 7.5f, height - 7.5f);
        Screw(canvas, width - 7.5f, height - 7.5f);
        if (height > kStrip + 30) {
            Screw(canvas, width - 7.5f, kStrip + 8.5f);
            Screw(canvas, 7.5f, kStrip + 8.5f);
        }
    }
    return canvas.ToPicture(false);
}

CPicture KnobStrip(int size, int frames)
{
    frames = std::max(frames, 1);
    CSkinCanvas strip(size, size * frames);
    const float c = size * 0.5f;
    const float ring = c - 1.6f;                 // value arc radius
    const float arcWidth = std::max(1.5f, size * 0.07f);
    const float body = c - arcWidth - 2.4f;      // knob cap radius
    for (int k = 0; k < frames; ++k) {
        const float value = frames > 1 ? static_cast<float>(k) / (frames - 1) : 0.0f;
        const float angle = -kSweepDegrees + 2.0f * kSweepDegrees * value;
        CSkinCanvas knob(size, size);
        const auto arc = [&](float from, float to) {
            return [=](float x, float y) { return ArcDistance(x, y, c, c, ring, arcWidth, from, to); };
        };
        knob.Fill(arc(-kSweepDegrees, kSweepDegrees), kArcTrack, 0, 0, size, size);
        if (k > 0) {
            knob.Fill(arc(-kSweepDegrees, angle), [&](float x, float y) {
                // Brighter towards the pointer.
                const float t = (AngleOf(x, y, c, c) + kSweepDegrees) / std::max(angle + kSweepDegrees, 1.0f);
                return Mix(kAccent, kAccentBright, t);
            }, 0, 0, size, size);
        }
        knob.Shadow([&](float x, float y) { return shape::Circle(x, y, c, c + 1.2f, body); },
                    WithAlpha(Color(0, 0, 0), 0.55f), 2.0f, 0, 0, size, size);
        knob.Fill([&](float x, float y) { return shape::Circle(x, y, c, c, body); },
                  [&](float x, float y) {
                      // Lit from above: a soft vertical gradient and a sheen.
                      const float t = (y - (c - body)) / (2.0f * body);
                      Rgba base = Mix(Color(98, 104, 114), Color(38, 41, 46), t);
                      const float sheen = std::max(0.0f, 1.0f - std::hypot(x - c, y - (c - body * 0.55f)) / body);
                      return Mix(base, Color(150, 158, 170), sheen * 0.35f);
                  },
                  0, 0, size, size);
        knob.Fill([&](float x, float y) { return std::fabs(shape::Circle(x, y, c, c, body - 0.6f)) - 0.5f; },
                  [&](float, float y) { return WithAlpha(kBevelLight, 0.6f * (1.0f - (y - (c - body)) / (2.0f * body))); },
                  0, 0, size, size);
        const float a = angle * kPi / 180.0f;
        const float dx = std::sin(a);
        const float dy = -std::cos(a);
        knob.Fill([&](float x, float y) {
            return shape::Capsule(x, y, c + dx * body * 0.28f, c + dy * body * 0.28f, c + dx * body * 0.82f,
                                  c + dy * body * 0.82f, std::max(1.6f, size * 0.075f));
        }, kLabelBright, 0, 0, size, size);
        strip.Compose(knob, 0, k * size);
    }
    return strip.ToPicture(true);
}

CPicture SliderThumb(int width, int height, bool horizontal)
{
    CSkinCanvas canvas(width, height);
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    canvas.Shadow([&](float x, float y) { return shape::RoundedRect(x, y, 1, 2, w - 1, h, 2.5f); },
                  WithAlpha(Color(0, 0, 0), 0.6f), 1.5f, 0, 0, width, height);
    canvas.Fill([&](float x, float y) { return shape::RoundedRect(x, y, 0.5f, 0.5f, w - 0.5f, h - 1.0f, 2.5f); },
                [&](float x, float y) {
                    const float t = horizontal ? y / h : x / w;
                    return Mix(Color(176, 184, 194), Color(74, 79, 88), t);
                },
                0, 0, width, height);
    // The grip line in the accent, across the direction of travel.
    if (horizontal) {
        canvas.Fill([&](float x, float y) { return shape::Capsule(x, y, w * 0.5f, 3.0f, w * 0.5f, h - 4.0f, 1.4f); },
                    kAccentBright, 0, 0, width, height);
    } else {
        canvas.Fill([&](float x, float y) { return shape::Capsule(x, y, 3.0f, h * 0.5f - 0.5f, w - 3.0f, h * 0.5f - 0.5f, 1.4f); },
                    kAccentBright, 0, 0, width, height);
    }
    return canvas.ToPicture(true);
}

CPicture SliderTrack(int width, int height, bool horizontal)
{
    CSkinCanvas canvas(width, height);
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    const float groove = 4.0f;
    const float left = horizontal ? 2.0f : w * 0.5f - groove * 0.5f;
    const float right = horizontal ? w - 2.0f : w * 0.5f + groove * 0.5f;
    const float top = horizontal ? h * 0.5f - groove * 0.5f : 2.0f;
    const float bottom = horizontal ? h * 0.5f + groove * 0.5f : h - 2.0f;
    // Ticks first, so the groove lies over their inner ends.
    const int ticks = 11;
    for (int i = 0; i < ticks; ++i) {
        const float t = static_cast<float>(i) / (ticks - 1);
        const float major = (i % 5 == 0) ? 1.0f : 0.55f;
        if (horizontal) {
            const float x = left + 3.0f + t * (right - left - 6.0f);
            canvas.Fill([&](float px, float py) { return shape::Capsule(px, py, x, 1.5f, x, top - 1.5f, 1.0f); },
                        WithAlpha(kLabel, 0.5f * major), 0, 0, width, height);
        } else {
            const float y = top + 3.0f + t * (bottom - top - 6.0f);
            canvas.Fill([&](float px, float py) { return shape::Capsule(px, py, 1.5f, y, left - 2.0f, y, 1.0f); },
                        WithAlpha(kLabel, 0.5f * major), 0, 0, width, height);
            canvas.Fill([&](float px, float py) { return shape::Capsule(px, py, right + 2.0f, y, w - 1.5f, y, 1.0f); },
                        WithAlpha(kLabel, 0.5f * major), 0, 0, width, height);
        }
    }
    canvas.Fill([&](float x, float y) { return shape::RoundedRect(x, y, left, top, right, bottom, groove * 0.5f); },
                [&](float x, float y) {
                    const float t = horizontal ? (y - top) / groove : (x - left) / groove;
                    return Mix(kGroove, Color(44, 48, 54), t);
                },
                0, 0, width, height);
    return canvas.ToPicture(true);
}

CPicture Button(int width, int height, const char* label, int state)
{
    CSkinCanvas canvas(width, height);
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    const auto outline = [&](float x, float y) { return shape::RoundedRect(x, y, 0.5f, 0.5f, w - 0.5f, h - 0.5f, 3.0f); };
    const auto face = [&](float x, float y) { return shape::RoundedRect(x, y, 1.5f, 1.5f, w - 1.5f, h - 1.5f, 2.2f); };
    const Rgba border = state == 0 ? Color(10, 11, 13) : (state == 1 ? Mix(kBevelDark, kAccent, 0.55f) : kAccent);
    canvas.Fill(outline, border, 0, 0, width, height);
    canvas.Fill(face, [&](float, float y) {
        const float t = y / h;
        if (state == 2)
            return Mix(Color(22, 25, 29), Color(40, 45, 52), t);   // sunk in
        if (state == 1)
            return Mix(Color(80, 86, 96), Color(50, 54, 61), t);
        return Mix(Color(64, 69, 77), Color(38, 41, 46), t);
    }, 0, 0, width, height);
    if (state == 2) {
        // A lit strip, like a LED behind the cap.
        canvas.Fill([&](float x, float y) { return shape::Capsule(x, y, 4.0f, h - 4.0f, w - 4.0f, h - 4.0f, 1.6f); },
                    kAccentBright, 0, 0, width, height);
    }
    const Rgba text = state == 2 ? kAccentBright : (state == 1 ? kLabelBright : kLabel);
    if (label != nullptr && label[0] != '\0')
        canvas.CentredText(width / 2, height / 2 - (state == 2 ? 1 : 0), label, text);
    return canvas.ToPicture(true);
}

CPicture ButtonStrip(int width, int height, const char* label)
{
    CPicture strip(width, height * 3, true);
    strip.FillClipRect(0);
    for (int state = 0; state < 3; ++state) {
        const CPicture frame = Button(width, height, label, state);
        // Copy the frame's bytes, alpha included (Draw would blend).
        for (int y = 0; y < height; ++y)
            std::memcpy(strip.PixelAt(0, state * height + y), frame.PixelAt(0, y), frame.RowBytes());
    }
    return strip;
}

CPicture LcdPanel(int width, int height)
{
    CSkinCanvas canvas(width, height, kBevelDark);
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    canvas.Fill([&](float x, float y) { return shape::RoundedRect(x, y, 1.0f, 1.0f, w - 1.0f, h - 1.0f, 1.5f); },
                [&](float x, float y) {
                    // Backlight brightest in the middle.
                    const float t = std::fabs(y / h - 0.45f) * 1.6f + std::fabs(x / w - 0.5f) * 0.3f;
                    return Mix(Color(168, 214, 206), Color(120, 168, 160), t);
                },
                0, 0, width, height);
    return canvas.ToPicture(false);
}

CPicture Splash(int width, int height)
{
    CSkinCanvas canvas(width, height, kPanelBottom);
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    canvas.Paint([&](float x, float y) {
        const float glow = std::max(0.0f, 1.0f - std::hypot((x - w * 0.5f) / w, (y - h * 0.42f) / h) * 1.8f);
        return Mix(Mix(Color(34, 38, 46), Color(16, 17, 20), y / h), Color(20, 58, 78), glow * 0.6f);
    });
    canvas.Grain(0.015f, 130u);

    // A waveform across the middle, in the accent.
    canvas.Fill([&](float x, float y) {
        const float t = x / w;
        const float envelope = std::sin(t * kPi);
        const float wave = h * 0.5f + envelope * h * 0.09f * std::sin(t * 2.0f * kPi * 7.0f) * std::cos(t * 5.0f);
        return std::fabs(y - wave) - 1.0f;
    }, WithAlpha(kAccent, 0.45f), 0, 0, width, height);

    const int titleScale = std::max(1, width / 80);
    canvas.CentredText(width / 2 + 1, RoundInt(h * 0.30f) + 2, "CORVANE", WithAlpha(Color(0, 0, 0), 0.7f), titleScale);
    canvas.CentredText(width / 2, RoundInt(h * 0.30f), "CORVANE", kLabelBright, titleScale);
    canvas.CentredText(width / 2, RoundInt(h * 0.30f) + 7 * titleScale, "STUDIO", kAccentBright,
                       std::max(1, titleScale / 2 + 1));

    // A row of meter segments, green to red, under the waveform.
    const int segments = 24;
    const float segmentWidth = (w * 0.6f) / segments;
    for (int i = 0; i < segments; ++i) {
        const Rgba color = i >= segments - 3 ? Color(240, 0, 0) : (i >= segments - 7 ? Color(240, 240, 0) : Color(0, 240, 0));
        const float x0 = w * 0.2f + i * segmentWidth;
        canvas.Fill([&](float x, float y) { return shape::RoundedRect(x, y, x0, h * 0.68f, x0 + segmentWidth - 2.0f, h * 0.68f + 6.0f, 1.0f); },
                    WithAlpha(color, i < 17 ? 0.9f : 0.35f), 0, 0, width, height);
    }
    canvas.CentredText(width / 2, RoundInt(h * 0.84f), "MODULAR MUSIC PRODUCTION", kLabel);
    Bevel(canvas);
    return canvas.ToPicture(false);
}

CPicture Icon(int size, const char* glyph)
{
    CSkinCanvas canvas(size, size);
    const float s = static_cast<float>(size) / 16.0f;   // drawn on a 16-unit grid
    const std::string name = glyph != nullptr ? glyph : "";
    const Rgba ink = kLabelBright;
    const Rgba shade = Color(18, 20, 23, 0.85f);
    if (name == "new") {
        // A page with its top-right corner folded: the corner above the
        // diagonal is cut away and the triangle below it is the fold.
        const auto beyondFold = [&](float x, float y) { return ((x - y) - 7.5f * s) * 0.7071f; };
        const auto page = [&](float x, float y) {
            return std::max(shape::RoundedRect(x, y, 3.5f * s, 1.5f * s, 12.5f * s, 14.5f * s, 0.8f * s), beyondFold(x, y));
        };
        canvas.Fill(page, ink, 0, 0, size, size);
        canvas.Fill([&](float x, float y) { return shape::RoundedRect(x, y, 5.5f * s, 6.5f * s, 10.5f * s, 7.3f * s, 0.3f * s); },
                    shade, 0, 0, size, size);
        canvas.Fill([&](float x, float y) { return shape::RoundedRect(x, y, 5.5f * s, 9.0f * s, 10.5f * s, 9.8f * s, 0.3f * s); },
                    shade, 0, 0, size, size);
        canvas.Fill([&](float x, float y) { return shape::RoundedRect(x, y, 5.5f * s, 11.5f * s, 8.5f * s, 12.3f * s, 0.3f * s); },
                    shade, 0, 0, size, size);
        canvas.Fill([&](float x, float y) {
            return std::max(shape::RoundedRect(x, y, 9.0f * s, 1.5f * s, 12.5f * s, 5.0f * s, 0.4f * s), beyondFold(x, y));
        }, kAccentBright, 0, 0, size, size);
    } else if (name == "open") {
        // A folder, its front flap lifted in the accent.
        canvas.Fill([&](float x, float y) {
            return std::min(shape::RoundedRect(x, y, 1.5f * s, 3.5f * s, 7.0f * s, 6.5f * s, 0.8f * s),
                            shape::RoundedRect(x, y, 1.5f * s, 5.0f * s, 14.0f * s, 13.5f * s, 1.0f * s));
        }, Mix(kLabel, kLabelBright, 0.4f), 0, 0, size, size);
        canvas.Fill([&](float x, float y) {
            // A parallelogram leaning right: the open front.
            const float lean = (13.5f * s - y) * 0.35f;
            return std::max(shape::RoundedRect(x - lean, y, 2.0f * s, 7.5f * s, 13.0f * s, 13.5f * s, 0.6f * s),
                            -(13.5f * s - y));
        }, kAccentBright, 0, 0, size, size);
    } else {
        // A disk with its label and shutter.
        canvas.Fill([&](float x, float y) { return shape::RoundedRect(x, y, 1.5f * s, 1.5f * s, 14.5f * s, 14.5f * s, 1.4f * s); },
                    kAccent, 0, 0, size, size);
        canvas.Fill([&](float x, float y) { return shape::RoundedRect(x, y, 4.0f * s, 1.5f * s, 12.0f * s, 6.0f * s, 0.4f * s); },
                    ink, 0, 0, size, size);
        canvas.Fill([&](float x, float y) { return shape::RoundedRect(x, y, 9.5f * s, 2.5f * s, 11.0f * s, 5.0f * s, 0.2f * s); },
                    kAccent, 0, 0, size, size);
        canvas.Fill([&](float x, float y) { return shape::RoundedRect(x, y, 3.5f * s, 8.5f * s, 12.5f * s, 14.5f * s, 0.6f * s); },
                    Color(230, 234, 238), 0, 0, size, size);
        canvas.Fill([&](float x, float y) { return shape::RoundedRect(x, y, 5.0f * s, 10.5f * s, 11.0f * s, 11.2f * s, 0.2f * s); },
                    shade, 0, 0, size, size);
    }
    return canvas.ToPicture(true);
}

} // namespace skin
