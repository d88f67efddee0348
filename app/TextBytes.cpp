#include "app/TextBytes.h"

#include <cstdio>

bool IsValidUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int extra = 0;
        unsigned int lowestSecond = 0x80;
        unsigned int highestSecond = 0xBF;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
            if (lead == 0xE0)
                lowestSecond = 0xA0;   // overlong below
            if (lead == 0xED)
                highestSecond = 0x9F;  // surrogates above
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
            if (lead == 0xF0)
                lowestSecond = 0x90;
            if (lead == 0xF4)
                highestSecond = 0x8F;  // above U+10FFFF
        } else {
            return false;
        }
        if (text.size() - i <= static_cast<std::size_t>(extra))
            return false;
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            const unsigned int low = k == 1 ? lowestSecond : 0x80;
            const unsigned int high = k == 1 ? highestSecond : 0xBF;
            if (next < low || next > high)
                return false;
        }
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

std::string EscapedBytes(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\\') {
            escaped += "\\\\";
        } else if (byte >= 0x20 && byte < 0x7F) {
            escaped += c;
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            escaped += hex;
        }
    }
    return escaped;
}
