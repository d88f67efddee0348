#pragma once
// A small PNG writer for build-time tools and tests: 8-bit RGB or RGBA,
// every row stored with filter 0, compressed with zlib's compress. The
// skins it writes are read back by CPicture::ReadPNG.

#include <cstddef>
#include <string>
#include <vector>

class CPicture;

namespace png {

/// The PNG bytes of the picture. With idatChunkBytes > 0 the image data is
/// spread over chunks of at most that many bytes. Raises CError when zlib
/// fails.
std::vector<unsigned char> EncodePNG(const CPicture& picture, std::size_t idatChunkBytes = 0);

/// Writes EncodePNG's bytes to a file; raises "Can't Open File <%s>".
void WritePNGFile(const CPicture& picture, const std::string& path);

} // namespace png
