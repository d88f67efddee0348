#pragma once
// CPNGDecoder: the program's own PNG reader on top of zlib. It takes only
// what the skins use, 8-bit RGB and RGBA without interlacing, and refuses
// everything else with a message. CRCs are not checked.

#include <cstddef>
#include <memory>

class CPicture;

class CPNGDecoder {
public:
    /// Decodes into a new picture and moves it into `into` only when the
    /// whole file decoded; raises CError with the reason otherwise.
    static void Decode(const unsigned char* bytes, std::size_t length, CPicture& into);

    /// The largest decoded image data accepted (filter bytes included):
    /// anything larger is refused before memory is asked for it.
    static constexpr std::size_t kMaxInflatedBytes = 0x7FFFFFFF;
    /// No deflate stream expands by more than 1032 : 1; a header that asks
    /// for more than the image data could hold is refused without inflating.
    static constexpr std::size_t kMaxDeflateRatio = 1032;

    /// Gives the picture a decoded pixel block of that size and form.
    static void AdoptPixels(CPicture& picture, std::unique_ptr<unsigned char[]> pixels, int width, int height,
                            bool hasAlpha);
};
