#pragma once
// CSkinCanvas: a floating-point RGBA canvas on which skingen draws the
// skins' artwork with anti-aliased shapes before they become CPictures.
// Shapes are given as signed distances (negative inside); a pixel's
// coverage is how far its centre lies inside, clamped to one pixel, which
// gives smooth edges without supersampling.

#include <functional>
#include <vector>

#include "gui/Picture.h"

struct Rgba {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 1.0f;
};

/// 0 .. 255 components, alpha 0 .. 1.
Rgba Color(int red, int green, int blue, float alpha = 1.0f);
Rgba Mix(const Rgba& from, const Rgba& to, float t);
Rgba WithAlpha(const Rgba& color, float alpha);

namespace shape {
float RoundedRect(float x, float y, float left, float top, float right, float bottom, float radius);
float Circle(float x, float y, float cx, float cy, float radius);
/// A line of the given width with round ends.
float Capsule(float x, float y, float x0, float y0, float x1, float y1, float width);
} // namespace shape

class CSkinCanvas {
public:
    using Distance = std::function<float(float x, float y)>;
    using Shader = std::function<Rgba(float x, float y)>;

    CSkinCanvas(int width, int height, Rgba fill = Rgba{0, 0, 0, 0});

    int Width() const { return width; }
    int Height() const { return height; }

    /// Composites colour over the pixel with the coverage.
    void Blend(int x, int y, const Rgba& color, float coverage = 1.0f);
    /// Fills a shape, evaluated over the box [left, right) x [top, bottom).
    void Fill(const Distance& distance, const Shader& shader, int left, int top, int right, int bottom);
    void Fill(const Distance& distance, const Rgba& color, int left, int top, int right, int bottom);
    /// A soft shadow of a shape: coverage falls off over blur pixels.
    void Shadow(const Distance& distance, const Rgba& color, float blur, int left, int top, int right, int bottom);
    /// The whole canvas through a shader (backgrounds, gradients).
    void Paint(const Shader& shader);
    /// Adds a deterministic grain of the given strength to the colour.
    void Grain(float strength, unsigned seed);
    /// Text of the toolkit's bitmap font, each font pixel scale x scale.
    void Text(int x, int y, const char* text, const Rgba& color, int scale = 1);
    /// Text centred on (cx, cy).
    void CentredText(int cx, int cy, const char* text, const Rgba& color, int scale = 1);
    /// Draws another canvas over this one at (x, y).
    void Compose(const CSkinCanvas& other, int x, int y);

    CPicture ToPicture(bool withAlpha) const;

private:
    Rgba& At(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }

    int width;
    int height;
    std::vector<Rgba> pixels;
};
