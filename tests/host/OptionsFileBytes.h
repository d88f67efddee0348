#pragma once
// Builds options files byte by byte, little-endian, independently of the
// writer under test, so that the tests pin the layout rather than echo it.

#include <cstdint>
#include <string>
#include <vector>

namespace host_test {

class OptionsFileBytes {
public:
    /// "pOvC" and the version.
    static OptionsFileBytes Head(std::int32_t version)
    {
        OptionsFileBytes file;
        file.Raw("pOvC").Int(version);
        return file;
    }

    OptionsFileBytes& Int(std::int32_t value)
    {
        const auto bits = static_cast<std::uint32_t>(value);
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<unsigned char>((bits >> shift) & 0xff));
        return *this;
    }
    OptionsFileBytes& Raw(const std::string& text)
    {
        bytes.insert(bytes.end(), text.begin(), text.end());
        return *this;
    }
    /// A stored path: its length with the terminating zero, the text, the zero.
    OptionsFileBytes& Path(const std::string& text)
    {
        Int(static_cast<std::int32_t>(text.size() + 1));
        Raw(text);
        bytes.push_back(0);
        return *this;
    }
    OptionsFileBytes& Paths(const std::vector<std::string>& paths)
    {
        Int(static_cast<std::int32_t>(paths.size()));
        for (const std::string& path : paths)
            Path(path);
        return *this;
    }

    std::size_t Size() const { return bytes.size(); }

    std::vector<unsigned char> bytes;
};

} // namespace host_test
