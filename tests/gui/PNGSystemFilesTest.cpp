// The PNG reader against PNG files that Debian packages install, compared
// pixel by pixel with Pillow: every 8-bit RGB file found, a spread of the
// RGBA ones and the largest, and every file of another form, which must be
// refused with the message for what it is.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "framework/Error.h"
#include "gui/Picture.h"
#include "tests/gui/PngTestFiles.h"

using namespace png_test;

namespace {

const std::vector<std::string> kFolders = {"/usr/share"};
constexpr std::size_t kMinimumFiles = 50;
constexpr std::size_t kSampleTarget = 240;

const std::vector<SystemPng>& SystemFiles()
{
    static const std::vector<SystemPng> files = FindSystemPngs(kFolders);
    return files;
}

bool IsReadable(const SystemPng& file)
{
    return file.bitDepth == 8 && (file.colorType == 2 || file.colorType == 6) && file.interlace == 0;
}

/// All RGB files, the 12 largest, and an even spread of the rest, so that
/// both the many small icons and a few large images are covered.
std::vector<SystemPng> Sample()
{
    std::vector<SystemPng> readable;
    for (const SystemPng& file : SystemFiles()) {
        if (IsReadable(file))
            readable.push_back(file);
    }
    std::set<std::string> chosen;
    std::vector<SystemPng> sample;
    const auto take = [&](const SystemPng& file) {
        if (chosen.insert(file.path).second)
            sample.push_back(file);
    };
    for (const SystemPng& file : readable) {
        if (file.colorType == 2)
            take(file);
    }
    std::vector<SystemPng> bySize = readable;
    std::sort(bySize.begin(), bySize.end(), [](const SystemPng& a, const SystemPng& b) { return a.size > b.size; });
    for (std::size_t i = 0; i < std::min<std::size_t>(12, bySize.size()); ++i)
        take(bySize[i]);
    const std::size_t step = std::max<std::size_t>(1, readable.size() / kSampleTarget);
    for (std::size_t i = 0; i < readable.size(); i += step)
        take(readable[i]);
    return sample;
}

std::string ExpectedRefusal(const SystemPng& file)
{
    if (file.bitDepth != 8)
        return "Unsupported Bit Depth In PNG File";
    if (file.colorType != 2 && file.colorType != 6)
        return "Unsupported Color Type In PNG File";
    return "Can't Read Interlaced PNG Files";
}

} // namespace

TEST(PNGSystemFiles, DecodeExactlyAsPillowDoes)
{
    const std::vector<SystemPng> sample = Sample();
    ASSERT_GE(sample.size(), kMinimumFiles) << "too few 8-bit RGB or RGBA PNG files under /usr/share";
    std::vector<std::string> paths;
    for (const SystemPng& file : sample)
        paths.push_back(file.path);
    const std::vector<ReferenceImage> reference = DecodeWithPillow(paths);
    ASSERT_EQ(reference.size(), sample.size()) << PillowProblem();

    int rgb = 0;
    int compared = 0;
    for (std::size_t i = 0; i < sample.size(); ++i) {
        SCOPED_TRACE(sample[i].path);
        if (!reference[i].ok)
            continue;   // Pillow refused it; nothing to compare with
        const Bytes bytes = ReadFile(sample[i].path);
        CPicture picture;
        try {
            picture.ReadPNG(bytes.data(), bytes.size());
        } catch (const CError& error) {
            ADD_FAILURE() << error.what();
            continue;
        }
        ASSERT_EQ(picture.GetWidth(), reference[i].width);
        ASSERT_EQ(picture.GetHeight(), reference[i].height);
        ASSERT_EQ(picture.BytesPerPixel(), reference[i].channels);
        const Bytes ours(picture.Pixels(), picture.Pixels() + picture.ByteCount());
        const auto mismatch = std::mismatch(ours.begin(), ours.end(), reference[i].pixels.begin());
        EXPECT_TRUE(mismatch.first == ours.end())
            << "first differing byte " << (mismatch.first - ours.begin()) << " of " << ours.size();
        ++compared;
        rgb += picture.HasAlpha() ? 0 : 1;
    }
    EXPECT_GE(compared, static_cast<int>(kMinimumFiles));
    std::printf("compared %d system PNG files with Pillow (%d RGB)\n", compared, rgb);
}

TEST(PNGSystemFiles, OtherFormsAreRefusedWithTheirMessage)
{
    int refused = 0;
    for (const SystemPng& file : SystemFiles()) {
        if (IsReadable(file))
            continue;
        SCOPED_TRACE(file.path);
        const Bytes bytes = ReadFile(file.path);
        CPicture picture;
        try {
            picture.ReadPNG(bytes.data(), bytes.size());
            ADD_FAILURE() << "decoded";
        } catch (const CError& error) {
            EXPECT_EQ(std::string(error.what()), ExpectedRefusal(file));
        }
        ++refused;
    }
    // Palette, grey, 16-bit and interlaced files are on every system that
    // carries the icon themes and documentation of the desktop packages.
    EXPECT_GT(refused, 0);
    for (const std::string& path : FindFalsePngs(kFolders)) {
        const Bytes bytes = ReadFile(path);
        CPicture picture;
        try {
            picture.ReadPNG(bytes.data(), bytes.size());
            ADD_FAILURE() << path << " decoded";
        } catch (const CError& error) {
            const std::string message = error.what();
            EXPECT_TRUE(message == "PNG File Header Not Found" || message == "PNG File Is Too Small To Fit A Valid Header")
                << path << ": " << message;
        }
    }
}

TEST(PNGSystemFiles, SplittingARealFilesImageDataChangesNothing)
{
    const std::vector<SystemPng> sample = Sample();
    ASSERT_FALSE(sample.empty());
    int checked = 0;
    for (std::size_t i = 0; i < sample.size() && checked < 20; i += std::max<std::size_t>(1, sample.size() / 20)) {
        SCOPED_TRACE(sample[i].path);
        const Bytes bytes = ReadFile(sample[i].path);
        CPicture whole;
        CPicture split;
        whole.ReadPNG(bytes.data(), bytes.size());
        const Bytes pieces = SplitImageData(bytes, 97);
        split.ReadPNG(pieces.data(), pieces.size());
        ASSERT_EQ(whole.ByteCount(), split.ByteCount());
        EXPECT_TRUE(std::equal(whole.Pixels(), whole.Pixels() + whole.ByteCount(), split.Pixels()));
        ++checked;
    }
}
