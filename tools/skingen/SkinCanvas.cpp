#include "tools/skingen/SkinCanvas.h"

#include <algorithm>
#include <cmath>

#include "gui/BitmapFont.h"

Rgba Color(int red, int green, int blue, float alpha)
{
    return {red / 255.0f, green / 255.0f, blue / 255.0f, alpha};
}

Rgba Mix(const Rgba& from, const Rgba& to, float t)
{
    t = std::clamp(t, 0.0f, 1.0f);
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t,
            from.a + (to.a - from.a) * t};
}

Rgba WithAlpha(const Rgba& color, float alpha)
{
    return {color.r, color.g, color.b, alpha};
}

namespace shape {

float RoundedRect(float x, float y, float left, float top, float right, float bottom, float radius)
{
    const float cx = (left + right) * 0.5f;
    const float cy = (top + bottom) * 0.5f;
    const float hx = (right - left) * 0.5f - radius;
    const float hy = (bottom - top) * 0.5f - radius;
    const float qx = std::fabs(x - cx) - hx;
    const float qy = std::fabs(y - cy) - hy;
    const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

float Circle(float x, float y, float cx, float cy, float radius)
{
    return std::hypot(x - cx, y - cy) - radius;
}

float Capsule(float x, float y, float x0, float y0, float x1, float y1, float width)
{
    const float dx = x1 - x0;
    const float dy = y1 - y0;
    const float lengthSquared = dx * dx + dy * dy;
    float t = lengthSquared > 0.0f ? ((x - x0) * dx + (y - y0) * dy) / lengthSquared : 0.0f;
    t = std::clamp(t, 0.0f, 1.0f);
    return std::hypot(x - (x0 + t * dx), y - (y0 + t * dy)) - width * 0.5f;
}

} // namespace shape

CSkinCanvas::CSkinCanvas(int width, int height, Rgba fill)
    : width(std::max(width, 0)), height(std::max(height, 0)),
      pixels(static_cast<std::size_t>(this->width) * this->height, fill)
{
}

void CSkinCanvas::Blend(int x, int y, const Rgba& color, float coverage)
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return;
    const float alpha = std::clamp(color.a * coverage, 0.0f, 1.0f);
    if (alpha <= 0.0f)
        return;
    Rgba& d = At(x, y);
    // Straight-alpha "over".
    const float outAlpha = alpha + d.a * (1.0f - alpha);
    if (outAlpha <= 0.0f)
        return;
    d.r = (color.r * alpha + d.r * d.a * (1.0f - alpha)) / outAlpha;
    d.g = (color.g * alpha + d.g * d.a * (1.0f - alpha)) / outAlpha;
    d.b = (color.b * alpha + d.b * d.a * (1.0f - alpha)) / outAlpha;
    d.a = outAlpha;
}

void CSkinCanvas::Fill(const Distance& distance, const Shader& shader, int left, int top, int right, int bottom)
{
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, width);
    bottom = std::min(bottom, height);
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const float px = x + 0.5f;
            const float py = y + 0.5f;
            const float coverage = std::clamp(0.5f - distance(px, py), 0.0f, 1.0f);
            if (coverage > 0.0f)
                Blend(x, y, shader(px, py), coverage);
        }
    }
}

void CSkinCanvas::Fill(const Distance& distance, const Rgba& color, int left, int top, int right, int bottom)
{
    Fill(distance, [&color](float, float) { return color; }, left, top, right, bottom);
}

void CSkinCanvas::Shadow(const Distance& distance, const Rgba& color, float blur, int left, int top, int right,
                         int bottom)
{
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, width);
    bottom = std::min(bottom, height);
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            // Full strength inside, fading out quadratically over blur.
            const float d = std::max(distance(x + 0.5f, y + 0.5f), 0.0f);
            const float falloff = 1.0f - std::clamp(d / blur, 0.0f, 1.0f);
            Blend(x, y, color, falloff * falloff);
        }
    }
}

void CSkinCanvas::Paint(const Shader& shader)
{
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            Blend(x, y, shader(x + 0.5f, y + 0.5f));
    }
}

void CSkinCanvas::Grain(float strength, unsigned seed)
{
    unsigned state = seed * 2654435761u + 1u;
    for (Rgba& p : pixels) {
        state = state * 1664525u + 1013904223u;
        const float n = (static_cast<float>(state >> 8) / 16777216.0f - 0.5f) * strength;
        p.r = std::clamp(p.r + n, 0.0f, 1.0f);
        p.g = std::clamp(p.g + n, 0.0f, 1.0f);
        p.b = std::clamp(p.b + n, 0.0f, 1.0f);
    }
}

void CSkinCanvas::Text(int x, int y, const char* text, const Rgba& color, int scale)
{
    for (int i = 0; text[i] != '\0'; ++i) {
        const int left = x + i * CBitmapFont::kAdvance * scale;
        for (int row = 0; row < CBitmapFont::kGlyphHeight; ++row) {
            for (int column = 0; column < CBitmapFont::kGlyphWidth; ++column) {
                if (!CBitmapFont::IsSet(text[i], column, row))
                    continue;
                for (int sy = 0; sy < scale; ++sy) {
                    for (int sx = 0; sx < scale; ++sx)
                        Blend(left + column * scale + sx, y + row * scale + sy, color);
                }
            }
        }
    }
}

void CSkinCanvas::CentredText(int cx, int cy, const char* text, const Rgba& color, int scale)
{
    Text(cx - CBitmapFont::TextWidth(text, scale) / 2, cy - CBitmapFont::kGlyphHeight * scale / 2, text, color,
         scale);
}

void CSkinCanvas::Compose(const CSkinCanvas& other, int x, int y)
{
    for (int row = 0; row < other.height; ++row) {
        for (int column = 0; column < other.width; ++column)
            Blend(x + column, y + row, other.pixels[static_cast<std::size_t>(row) * other.width + column]);
    }
}

CPicture CSkinCanvas::ToPicture(bool withAlpha) const
{
    CPicture picture(width, height, withAlpha);
    unsigned char* out = picture.Pixels();
    const int bpp = picture.BytesPerPixel();
    const auto byte = [](float v) { return static_cast<unsigned char>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
    for (const Rgba& p : pixels) {
        // An RGB picture is the canvas over black.
        const float a = withAlpha ? 1.0f : p.a;
        out[0] = byte(p.r * a);
        out[1] = byte(p.g * a);
        out[2] = byte(p.b * a);
        if (withAlpha)
            out[3] = byte(p.a);
        out += bpp;
    }
    return picture;
}
