// bench_png: decoding throughput of the toolkit's PNG reader against
// libpng on the same files in the same run: every 8-bit RGB and RGBA
// non-interlaced PNG that the system's packages install under /usr/share
// (icons, documentation images), held in memory. Throughput counts decoded
// pixel bytes. The closing line gives our speed as a share of libpng's,
// beside the target of 0.8.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <csetjmp>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include <png.h>

#include "framework/Error.h"
#include "gui/Picture.h"

namespace {

using Bytes = std::vector<unsigned char>;

struct Corpus {
    std::vector<Bytes> files;
    std::size_t pixelBytes = 0;
};

bool IsReadableHeader(const Bytes& file)
{
    static const unsigned char kSignature[8] = {137, 'P', 'N', 'G', 13, 10, 26, 10};
    return file.size() >= 33 && std::equal(kSignature, kSignature + 8, file.begin()) &&
           std::memcmp(file.data() + 12, "IHDR", 4) == 0 && file[24] == 8 && (file[25] == 2 || file[25] == 6) &&
           file[28] == 0;
}

const Corpus& Files()
{
    static const Corpus corpus = [] {
        Corpus c;
        std::error_code error;
        namespace fs = std::filesystem;
        std::vector<std::string> paths;
        fs::recursive_directory_iterator it("/usr/share", fs::directory_options::skip_permission_denied, error);
        for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
            if (it->path().extension() == ".png" && it->is_regular_file(error))
                paths.push_back(it->path().string());
        }
        std::sort(paths.begin(), paths.end());
        for (const std::string& path : paths) {
            std::ifstream in(path, std::ios::binary);
            Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            if (!IsReadableHeader(bytes))
                continue;
            CPicture picture;
            try {
                picture.ReadPNG(bytes.data(), bytes.size());
            } catch (const CError&) {
                continue;
            }
            c.pixelBytes += picture.ByteCount();
            c.files.push_back(std::move(bytes));
        }
        return c;
    }();
    return corpus;
}

struct MemoryReader {
    const Bytes* file;
    std::size_t offset;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count)
{
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (reader->offset + count > reader->file->size())
        png_error(png, "read past the end");
    std::memcpy(out, reader->file->data() + reader->offset, count);
    reader->offset += count;
}

void IgnoreWarning(png_structp, png_const_charp) {}

/// libpng's plain read: no transformations, rows into one block. Its
/// warnings (profiles it knows to be wrong) would only flood the output.
std::size_t DecodeWithLibpng(const Bytes& file, Bytes& pixels, std::vector<png_bytep>& rows)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, IgnoreWarning);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return 0;
    }
    MemoryReader reader{&file, 0};
    png_set_read_fn(png, &reader, ReadFromMemory);
    png_read_info(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    pixels.resize(rowBytes * height);
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        rows[y] = pixels.data() + y * rowBytes;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return pixels.size();
}

void BM_CorvaneReader(benchmark::State& state)
{
    const Corpus& corpus = Files();
    for (auto _ : state) {
        for (const Bytes& file : corpus.files) {
            CPicture picture;
            picture.ReadPNG(file.data(), file.size());
            benchmark::DoNotOptimize(picture.Pixels());
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(corpus.pixelBytes));
    state.counters["files"] = static_cast<double>(corpus.files.size());
}

void BM_Libpng(benchmark::State& state)
{
    const Corpus& corpus = Files();
    std::size_t decoded = 0;
    for (auto _ : state) {
        for (const Bytes& file : corpus.files) {
            Bytes pixels;
            std::vector<png_bytep> rows;
            decoded += DecodeWithLibpng(file, pixels, rows);
            benchmark::DoNotOptimize(pixels.data());
        }
    }
    if (decoded != static_cast<std::size_t>(state.iterations()) * corpus.pixelBytes)
        state.SkipWithError("libpng decoded a different number of bytes");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(corpus.pixelBytes));
    state.counters["files"] = static_cast<double>(corpus.files.size());
}

BENCHMARK(BM_CorvaneReader)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Libpng)->Unit(benchmark::kMillisecond)->MinTime(2.0);

/// Keeps each benchmark's times per iteration for the closing comparison.
/// CPU time is the figure compared: the machine is shared, and wall time
/// counts other people's work too.
class CComparingReporter : public benchmark::ConsoleReporter {
public:
    CComparingReporter() : ConsoleReporter(OO_None) {}
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                cpuTimes[run.run_name.function_name] = run.GetAdjustedCPUTime();
                realTimes[run.run_name.function_name] = run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> cpuTimes;
    std::map<std::string, double> realTimes;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    const Corpus& corpus = Files();
    std::printf("corpus: %zu PNG files, %zu bytes of pixels\n", corpus.files.size(), corpus.pixelBytes);
    CComparingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto ratio = [](const std::map<std::string, double>& times) {
        const auto ours = times.find("BM_CorvaneReader");
        const auto theirs = times.find("BM_Libpng");
        return ours != times.end() && theirs != times.end() && ours->second > 0.0 ? theirs->second / ours->second
                                                                                  : 0.0;
    };
    const double cpu = ratio(reporter.cpuTimes);
    std::printf("reader speed / libpng speed: %.2f by CPU time, %.2f by wall time (target at least 0.80) %s\n", cpu,
                ratio(reporter.realTimes), cpu >= 0.8 ? "ok" : "BELOW TARGET");
    benchmark::Shutdown();
    return 0;
}
