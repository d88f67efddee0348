#include "gui/PNGFilters.h"

#include <cstring>

namespace png {
namespace {

// Each loop works a pixel at a time so that the channels, which do not
// depend on one another, unroll; only the pixel-to-pixel chain is serial.

template <int Bpp>
void UndoSub(const unsigned char* in, unsigned char* out, std::size_t n) noexcept
{
    std::memcpy(out, in, Bpp);
    for (std::size_t i = Bpp; i + Bpp <= n; i += Bpp) {
        for (int c = 0; c < Bpp; ++c)
            out[i + c] = static_cast<unsigned char>(in[i + c] + out[i + c - Bpp]);
    }
}

void UndoUp(const unsigned char* in, const unsigned char* up, unsigned char* out, std::size_t n) noexcept
{
    for (std::size_t i = 0; i < n; ++i)
        out[i] = static_cast<unsigned char>(in[i] + up[i]);
}

template <int Bpp>
void UndoAverage(const unsigned char* in, const unsigned char* up, unsigned char* out, std::size_t n) noexcept
{
    for (int c = 0; c < Bpp; ++c)
        out[c] = static_cast<unsigned char>(in[c] + (up[c] >> 1));
    for (std::size_t i = Bpp; i + Bpp <= n; i += Bpp) {
        for (int c = 0; c < Bpp; ++c)
            out[i + c] = static_cast<unsigned char>(in[i + c] + ((out[i + c - Bpp] + up[i + c]) >> 1));
    }
}

template <int Bpp>
void UndoPaeth(const unsigned char* in, const unsigned char* up, unsigned char* out, std::size_t n) noexcept
{
    // Left and upper-left are zero for the first pixel: the prediction is up.
    for (int c = 0; c < Bpp; ++c)
        out[c] = static_cast<unsigned char>(in[c] + up[c]);
    for (std::size_t i = Bpp; i + Bpp <= n; i += Bpp) {
        for (int c = 0; c < Bpp; ++c) {
            const int a = out[i + c - Bpp];
            const int b = up[i + c];
            const int cc = up[i + c - Bpp];
            // Branch-free form of PaethPredictor: the same distances and ties.
            const int pa = b > cc ? b - cc : cc - b;
            const int pb = a > cc ? a - cc : cc - a;
            const int sum = a + b - 2 * cc;
            const int pc = sum < 0 ? -sum : sum;
            const int predicted = (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : cc);
            out[i + c] = static_cast<unsigned char>(in[i + c] + predicted);
        }
    }
}

template <int Bpp>
void Unfilter(unsigned char filter, const unsigned char* in, const unsigned char* up, unsigned char* out,
              std::size_t n) noexcept
{
    switch (static_cast<RowFilter>(filter)) {
    case RowFilter::Sub:
        UndoSub<Bpp>(in, out, n);
        break;
    case RowFilter::Up:
        UndoUp(in, up, out, n);
        break;
    case RowFilter::Average:
        UndoAverage<Bpp>(in, up, out, n);
        break;
    case RowFilter::Paeth:
        UndoPaeth<Bpp>(in, up, out, n);
        break;
    default:
        std::memcpy(out, in, n);
        break;
    }
}

} // namespace

void UnfilterRow(unsigned char filter, const unsigned char* stored, const unsigned char* above, unsigned char* out,
                 std::size_t rowBytes, int bytesPerPixel) noexcept
{
    if (rowBytes == 0)
        return;
    if (bytesPerPixel == 4)
        Unfilter<4>(filter, stored, above, out, rowBytes);
    else
        Unfilter<3>(filter, stored, above, out, rowBytes);
}

} // namespace png
