// The buffer helpers' two processing paths give the same results, for every
// length and alignment, and the library's feature bits choose between them.

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "stockpack/common/BufferOps.h"
#include "stockpack/common/PlugContext.h"
#include "tests/stockpack/StockTestSupport.h"

TEST(BufferOps, PlainAndSse2PathsAgreeExactly)
{
    std::mt19937 random(1);
    std::uniform_real_distribution<double> value(-2.0, 2.0);
    for (int frames : {0, 1, 2, 3, 7, 64, 255}) {
        for (int offset : {0, 1}) {
            std::vector<double> source(static_cast<std::size_t>(frames + 2)), base(source.size());
            for (auto& v : source)
                v = value(random);
            for (auto& v : base)
                v = value(random);
            auto run = [&](BufferPath path, int operation) {
                std::vector<double> out = base;
                double* d = out.data() + offset;
                const double* s = source.data() + offset;
                switch (operation) {
                case 0:
                    CopySamples(d, s, frames, path);
                    break;
                case 1:
                    AddSamples(d, s, frames, path);
                    break;
                case 2:
                    AddScaledSamples(d, s, 0.3, frames, path);
                    break;
                case 3:
                    ScaleSamples(d, -1.7, frames, path);
                    break;
                }
                return out;
            };
            for (int operation = 0; operation < 4; ++operation) {
                const auto plain = run(BufferPath::Plain, operation);
                EXPECT_EQ(plain, run(BufferPath::Sse2, operation)) << frames << " " << operation;
                // Nothing outside the range moved.
                EXPECT_EQ(plain.back(), base.back());
                if (offset == 1) {
                    EXPECT_EQ(plain.front(), base.front());
                }
            }
            std::vector<double> copy = base;
            CopySamples(copy.data() + offset, source.data() + offset, frames, BufferPath::Plain);
            for (int i = 0; i < frames; ++i)
                EXPECT_EQ(copy[static_cast<std::size_t>(i + offset)], source[static_cast<std::size_t>(i + offset)]);
        }
    }
}

TEST(BufferOps, FeatureBitFourChoosesTheSse2Path)
{
    stock_test::CStockTestHost host;
    CreatePlugContext(&host, 0x4 | 0x2);
    EXPECT_EQ(CurrentBufferPath(), BufferPath::Sse2);
    CreatePlugContext(&host, 0x2);
    EXPECT_EQ(CurrentBufferPath(), BufferPath::Plain);
    // The tables survive a second start.
    const WaveTables* tables = GetPlugContext()->waveTables;
    CreatePlugContext(&host, 0);
    EXPECT_EQ(GetPlugContext()->waveTables, tables);
    EXPECT_EQ(&SharedWaveTables(), tables);
    CreatePlugContext(nullptr, 0);
}
