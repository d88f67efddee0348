#pragma once
// CPicture: the in-memory image every custom-drawn window composes into
// before its rows go to the screen. RGB (3 bytes a pixel) or RGBA (4 bytes),
// rows top to bottom without padding. Skins are loaded into it from the
// module's PNG resources.
//
// Threads: a picture is used by one thread at a time; the windows that draw
// into one from two threads guard it with their own lock.

#include <cstddef>
#include <cstdint>
#include <memory>

/// A Windows-style colour value: 0x00BBGGRR, red in the low byte.
using ColorRef = std::uint32_t;

constexpr ColorRef MakeColorRef(int red, int green, int blue)
{
    return static_cast<ColorRef>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int RedOf(ColorRef color) { return static_cast<int>(color & 0xFF); }
constexpr int GreenOf(ColorRef color) { return static_cast<int>((color >> 8) & 0xFF); }
constexpr int BlueOf(ColorRef color) { return static_cast<int>((color >> 16) & 0xFF); }

class CPicture {
public:
    /// Inclusive pixel coordinates.
    struct ClipRect {
        int left = 0;
        int right = -1;
        int top = 0;
        int bottom = -1;
    };

    /// Every byte of a blank picture, alpha included.
    static constexpr unsigned char kBlankByte = 160;

    CPicture() = default;
    CPicture(int width, int height, bool hasAlpha) { Create(width, height, hasAlpha); }
    CPicture(CPicture&& other) noexcept;
    CPicture& operator=(CPicture&& other) noexcept;
    CPicture(const CPicture&) = delete;
    CPicture& operator=(const CPicture&) = delete;
    ~CPicture() = default;

    /// A blank picture: every byte 160; clips to itself. Negative sizes
    /// give an empty picture.
    void Create(int width, int height, bool hasAlpha);

    void SetClipRect(int left, int right, int top, int bottom);
    void ResetClipRect();
    const ClipRect& GetClipRect() const { return clip; }

    /// Every pixel inside the clip rectangle (within the picture) becomes
    /// the colour; an RGBA picture's alpha becomes 0.
    void FillClipRect(ColorRef color);
    /// The rectangle, clipped to the clip rectangle, becomes the colour.
    void FillRect(ColorRef color, int x, int y, int w, int h);

    /// Copies the w x h block at (sx, sy) of this picture to (dx, dy) of the
    /// destination, clipped to both pictures and the destination's clip
    /// rectangle; what clipping removes at the destination is removed from
    /// the same side of the source. An RGBA source blends its colour by its
    /// alpha; the destination's alpha never changes.
    void Draw(CPicture& destination, int dx, int dy, int sx, int sy, int w, int h) const;
    /// The whole picture at (dx, dy).
    void Draw(CPicture& destination, int dx, int dy) const { Draw(destination, dx, dy, 0, 0, width, height); }

    /// Converts rows first .. first + count - 1 to 24-bit B, G, R into a
    /// top-down bitmap whose rows are stride bytes apart (a multiple of 4 for
    /// a device bitmap). Rows outside the picture are skipped; an RGBA
    /// picture gives its colour and drops its alpha.
    void PresentRows(unsigned char* bits, std::ptrdiff_t stride, int first, int count) const;
    void PresentAll(unsigned char* bits, std::ptrdiff_t stride) const { PresentRows(bits, stride, 0, height); }

    /// Decodes the calling module's resource of type "PNG" with this id and
    /// returns the height. A missing resource raises
    /// "Can't Find PNG Resource %i".
    int LoadPNGResource(int id);
    /// Decodes an 8-bit RGB or RGBA, non-interlaced PNG held in memory. On
    /// failure the picture keeps what it held and the message is raised.
    void ReadPNG(const unsigned char* bytes, std::size_t length);
    /// zlib's uncompress of a whole buffer; returns the bytes produced.
    static std::size_t InflateBuffer(unsigned char* destination, std::size_t destinationSize,
                                     const unsigned char* source, std::size_t sourceSize);

    int GetWidth() const { return width; }
    int GetHeight() const { return height; }
    bool HasAlpha() const { return hasAlpha; }
    int BytesPerPixel() const { return hasAlpha ? 4 : 3; }
    std::size_t RowBytes() const { return static_cast<std::size_t>(width) * BytesPerPixel(); }
    std::size_t ByteCount() const { return RowBytes() * static_cast<std::size_t>(height); }

    unsigned char* Pixels() { return pixels.get(); }
    const unsigned char* Pixels() const { return pixels.get(); }
    unsigned char* PixelAt(int x, int y) { return pixels.get() + Offset(x, y); }
    const unsigned char* PixelAt(int x, int y) const { return pixels.get() + Offset(x, y); }

private:
    std::size_t Offset(int x, int y) const
    {
        return static_cast<std::size_t>(y) * RowBytes() + static_cast<std::size_t>(x) * BytesPerPixel();
    }
    /// The clip rectangle intersected with the picture; false when empty.
    bool VisibleClip(ClipRect& visible) const;
    /// Fills an area that lies inside the picture.
    void FillVisible(ColorRef color, const ClipRect& area);

    std::int32_t width = 0;
    std::int32_t height = 0;
    bool hasAlpha = false;
    std::unique_ptr<unsigned char[]> pixels;
    ClipRect clip;

    friend class CPNGDecoder;
};
