#include "gui/Picture.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "framework/Error.h"
#include "platform/Resources.h"

CPicture::CPicture(CPicture&& other) noexcept
    : width(std::exchange(other.width, 0)),
      height(std::exchange(other.height, 0)),
      hasAlpha(std::exchange(other.hasAlpha, false)),
      pixels(std::move(other.pixels)),
      clip(std::exchange(other.clip, ClipRect{}))
{
}

CPicture& CPicture::operator=(CPicture&& other) noexcept
{
    if (this != &other) {
        width = std::exchange(other.width, 0);
        height = std::exchange(other.height, 0);
        hasAlpha = std::exchange(other.hasAlpha, false);
        pixels = std::move(other.pixels);
        clip = std::exchange(other.clip, ClipRect{});
    }
    return *this;
}

void CPicture::Create(int newWidth, int newHeight, bool withAlpha)
{
    newWidth = std::max(newWidth, 0);
    newHeight = std::max(newHeight, 0);
    const std::size_t count = static_cast<std::size_t>(newWidth) * static_cast<std::size_t>(newHeight) *
                              (withAlpha ? 4u : 3u);
    // Allocate first: a failing allocation leaves the old picture whole.
    std::unique_ptr<unsigned char[]> block(new unsigned char[count > 0 ? count : 1]);
    std::memset(block.get(), kBlankByte, count);
    pixels = std::move(block);
    width = newWidth;
    height = newHeight;
    hasAlpha = withAlpha;
    ResetClipRect();
}

void CPicture::SetClipRect(int left, int right, int top, int bottom)
{
    clip = {left, right, top, bottom};
}

void CPicture::ResetClipRect()
{
    clip = {0, width - 1, 0, height - 1};
}

bool CPicture::VisibleClip(ClipRect& visible) const
{
    visible.left = std::max(clip.left, 0);
    visible.top = std::max(clip.top, 0);
    visible.right = std::min(clip.right, width - 1);
    visible.bottom = std::min(clip.bottom, height - 1);
    return visible.left <= visible.right && visible.top <= visible.bottom;
}

void CPicture::FillClipRect(ColorRef color)
{
    ClipRect visible;
    if (VisibleClip(visible))
        FillVisible(color, visible);
}

void CPicture::FillRect(ColorRef color, int x, int y, int w, int h)
{
    ClipRect visible;
    if (w <= 0 || h <= 0 || !VisibleClip(visible))
        return;
    // 64-bit ends: x + w may pass INT_MAX.
    const long long right = std::min<long long>(static_cast<long long>(x) + w - 1, visible.right);
    const long long bottom = std::min<long long>(static_cast<long long>(y) + h - 1, visible.bottom);
    visible.left = std::max(x, visible.left);
    visible.top = std::max(y, visible.top);
    visible.right = static_cast<int>(right);
    visible.bottom = static_cast<int>(bottom);
    if (visible.left <= visible.right && visible.top <= visible.bottom)
        FillVisible(color, visible);
}

void CPicture::FillVisible(ColorRef color, const ClipRect& area)
{
    const unsigned char rgba[4] = {static_cast<unsigned char>(RedOf(color)),
                                   static_cast<unsigned char>(GreenOf(color)),
                                   static_cast<unsigned char>(BlueOf(color)), 0};
    const int bpp = BytesPerPixel();
    for (int row = area.top; row <= area.bottom; ++row) {
        unsigned char* p = PixelAt(area.left, row);
        for (int column = area.left; column <= area.right; ++column, p += bpp)
            std::memcpy(p, rgba, static_cast<std::size_t>(bpp));
    }
}

void CPicture::Draw(CPicture& destination, int dx, int dy, int sx, int sy, int w, int h) const
{
    ClipRect target;
    if (w <= 0 || h <= 0 || width <= 0 || height <= 0 || !destination.VisibleClip(target))
        return;

    // Offsets (u, v) into the block that land inside the target and come
    // from inside this picture; trimming one side trims it for both.
    const long long uFirst = std::max({0LL, static_cast<long long>(target.left) - dx, -static_cast<long long>(sx)});
    const long long vFirst = std::max({0LL, static_cast<long long>(target.top) - dy, -static_cast<long long>(sy)});
    const long long uLast = std::min({static_cast<long long>(w) - 1, static_cast<long long>(target.right) - dx,
                                      static_cast<long long>(width) - 1 - sx});
    const long long vLast = std::min({static_cast<long long>(h) - 1, static_cast<long long>(target.bottom) - dy,
                                      static_cast<long long>(height) - 1 - sy});
    if (uFirst > uLast || vFirst > vLast)
        return;

    const int columns = static_cast<int>(uLast - uFirst + 1);
    const int sourceBpp = BytesPerPixel();
    const int targetBpp = destination.BytesPerPixel();
    for (long long v = vFirst; v <= vLast; ++v) {
        const unsigned char* s = PixelAt(static_cast<int>(sx + uFirst), static_cast<int>(sy + v));
        unsigned char* d = destination.PixelAt(static_cast<int>(dx + uFirst), static_cast<int>(dy + v));
        if (!hasAlpha && !destination.hasAlpha) {
            std::memcpy(d, s, static_cast<std::size_t>(columns) * 3);
            continue;
        }
        for (int i = 0; i < columns; ++i, s += sourceBpp, d += targetBpp) {
            if (!hasAlpha) {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
                continue;
            }
            // 1/255 to 15 digits; alpha 255 still gives exactly 1 here, so
            // an opaque pixel copies and a clear one keeps the destination.
            const double alpha = s[3] * 0.00392156862745098;
            for (int c = 0; c < 3; ++c)
                d[c] = static_cast<unsigned char>(s[c] * alpha + d[c] * (1.0 - alpha));
        }
    }
}

void CPicture::PresentRows(unsigned char* bits, std::ptrdiff_t stride, int first, int count) const
{
    const long long begin = std::max(first, 0);
    const long long end = std::min<long long>(static_cast<long long>(first) + std::max(count, 0), height);
    const int bpp = BytesPerPixel();
    for (long long row = begin; row < end; ++row) {
        const unsigned char* s = PixelAt(0, static_cast<int>(row));
        unsigned char* d = bits + row * stride;
        for (int x = 0; x < width; ++x, s += bpp, d += 3) {
            d[0] = s[2];
            d[1] = s[1];
            d[2] = s[0];
        }
    }
}

int CPicture::LoadPNGResource(int id)
{
    const platform::ResourceView resource = platform::FindResource("PNG", id);
    if (!resource)
        throw CError("Can't Find PNG Resource %i", id);
    ReadPNG(resource.data, resource.size);
    ResetClipRect();
    return height;
}
