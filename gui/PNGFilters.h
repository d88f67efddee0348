#pragma once
// The five row filters of PNG, undone: each reconstructed byte is the stored
// byte plus a prediction from the pixel to the left, the byte above and the
// byte above-left, modulo 256.

#include <cstddef>

namespace png {

enum class RowFilter : unsigned char { None = 0, Sub = 1, Up = 2, Average = 3, Paeth = 4 };

/// Rebuilds one row of rowBytes bytes from its stored bytes and the row
/// above (all zero for the first row); bytesPerPixel is 3 or 4. A filter
/// value outside 0 .. 4 leaves the row as stored.
void UnfilterRow(unsigned char filter, const unsigned char* stored, const unsigned char* above, unsigned char* out,
                 std::size_t rowBytes, int bytesPerPixel) noexcept;

/// The Paeth predictor: left, up or upper-left, whichever is nearest to
/// left + up - upper-left, ties in that order.
inline unsigned char PaethPredictor(int left, int up, int upLeft) noexcept
{
    const int p = left + up - upLeft;
    const int toLeft = p > left ? p - left : left - p;
    const int toUp = p > up ? p - up : up - p;
    const int toUpLeft = p > upLeft ? p - upLeft : upLeft - p;
    if (toLeft <= toUp && toLeft <= toUpLeft)
        return static_cast<unsigned char>(left);
    return static_cast<unsigned char>(toUp <= toUpLeft ? up : upLeft);
}

} // namespace png
