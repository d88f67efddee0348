#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "samples/RIFFLoader.h"
#include "tests/samples/WavTestFiles.h"

namespace {

/// Records every chunk it is shown and descends into lists.
class CRecordingLoader : public CRIFFLoader {
public:
    std::vector<std::string> seen;
    int failOn = -1;   // index of the chunk whose OnChunk returns 99

    int OnChunk(const RiffChunkHeader* header, const unsigned char* data, int depth, std::intptr_t context) override
    {
        seen.push_back(std::string(header->id, 4) + "@" + std::to_string(depth));
        if (static_cast<int>(seen.size()) - 1 == failOn)
            return 99;
        if (std::memcmp(header->id, "LIST", 4) == 0)
            return WalkChunks(header, data, depth, context);
        return 0;
    }
};

} // namespace

TEST(RIFFLoader, WalksNestedListsWithDepthAndOddSizesWithoutPadding)
{
    TemporaryFolder folder;
    Bytes inner;
    AppendChunk(inner, "ifil", Bytes{1, 2, 3});   // odd: no pad byte follows
    AppendChunk(inner, "INAM", Bytes{'x', 0});
    Bytes list = {'I', 'N', 'F', 'O'};
    list.insert(list.end(), inner.begin(), inner.end());
    Bytes body;
    AppendChunk(body, "LIST", list);
    AppendChunk(body, "smpl", Bytes{9, 9});
    const std::string path = folder.File("bank.sf2");
    WriteFile(path, RiffFile("sfbk", body));

    CRecordingLoader loader;
    ASSERT_EQ(loader.LoadFile(path.c_str(), "sfbk"), kRiffDone);
    const std::vector<std::string> expected = {"LIST@1", "ifil@2", "INAM@2", "smpl@1"};
    EXPECT_EQ(loader.seen, expected);
    EXPECT_FALSE(loader.Body().empty()) << "a successful load keeps the body";
}

TEST(RIFFLoader, ResultCodes)
{
    TemporaryFolder folder;
    CRecordingLoader loader;
    EXPECT_EQ(loader.LoadFile(folder.File("missing").c_str(), "WAVE"), kRiffCantOpen);

    const std::string path = folder.File("file.riff");
    WriteFile(path, RiffFile("WAVE", Bytes{}));
    EXPECT_EQ(loader.LoadFile(path.c_str(), "sfbk"), kRiffMalformed) << "wrong form type";

    Bytes overlong;
    AppendText(overlong, "data");
    Append32(overlong, 100);
    overlong.insert(overlong.end(), 10, 0);
    WriteFile(path, RiffFile("WAVE", overlong));
    EXPECT_EQ(loader.LoadFile(path.c_str(), "WAVE"), kRiffMalformed) << "last chunk claims more than remains";
    EXPECT_TRUE(loader.Body().empty());

    Bytes shortList;
    AppendText(shortList, "LIST");
    Append32(shortList, 2);
    shortList.insert(shortList.end(), 2, 0);
    WriteFile(path, RiffFile("WAVE", shortList));
    EXPECT_EQ(loader.LoadFile(path.c_str(), "WAVE"), kRiffMalformed) << "a list smaller than its type";

    Bytes three;
    AppendChunk(three, "aaaa", Bytes{});
    AppendChunk(three, "bbbb", Bytes{});
    AppendChunk(three, "cccc", Bytes{});
    WriteFile(path, RiffFile("WAVE", three));
    CRecordingLoader stopping;
    stopping.failOn = 1;
    EXPECT_EQ(stopping.LoadFile(path.c_str(), "WAVE"), 99) << "a handler's own code comes back unchanged";
    EXPECT_EQ(stopping.seen.size(), 2u);
}

TEST(RIFFLoader, EveryTruncationIsMalformedNotACrash)
{
    TemporaryFolder folder;
    Bytes body;
    AppendChunk(body, "LIST", Bytes{'I', 'N', 'F', 'O', 'a', 'b', 'c', 'd', 1, 0, 0, 0, 7});
    AppendChunk(body, "data", Bytes{1, 2, 3, 4});
    const Bytes whole = RiffFile("WAVE", body);
    const std::string path = folder.File("cut.riff");
    for (std::size_t length = 0; length < whole.size(); ++length) {
        WriteFile(path, Bytes(whole.begin(), whole.begin() + static_cast<long>(length)));
        CRecordingLoader loader;
        EXPECT_EQ(loader.LoadFile(path.c_str(), "WAVE"), kRiffMalformed) << length;
    }
}
