#include "stockpack/common/StepTableFormat.h"

#include <bit>
#include <cmath>

#include "stockpack/dsp/BandLimitedOscillator.h"

namespace {

std::uint32_t ReadUint32(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

double ReadDouble(const unsigned char* p)
{
    std::uint64_t bits = 0;
    for (int b = 7; b >= 0; --b)
        bits = bits << 8 | p[b];
    return std::bit_cast<double>(bits);
}

void WriteUint32(std::vector<unsigned char>& out, std::uint32_t value)
{
    for (int b = 0; b < 4; ++b)
        out.push_back(static_cast<unsigned char>(value >> (8 * b)));
}

void WriteDouble(std::vector<unsigned char>& out, double value)
{
    const auto bits = std::bit_cast<std::uint64_t>(value);
    for (int b = 0; b < 8; ++b)
        out.push_back(static_cast<unsigned char>(bits >> (8 * b)));
}

} // namespace

std::optional<StepTableData> ParseStepTable(const unsigned char* data, std::size_t size)
{
    constexpr std::size_t kHeader = 12;
    if (data == nullptr || size < kHeader)
        return std::nullopt;
    StepTableData table;
    table.zeroCrossings = static_cast<std::int32_t>(ReadUint32(data));
    table.oversampling = static_cast<std::int32_t>(ReadUint32(data + 4));
    const auto count = static_cast<std::int32_t>(ReadUint32(data + 8));
    // The oscillators correct at most kResidualLength samples after a jump,
    // so a wider table could not be used whole.
    if (table.zeroCrossings < 1 || 2 * table.zeroCrossings > CBandLimitedOscillator::kResidualLength ||
        table.oversampling < 1 || table.oversampling > 65536)
        return std::nullopt;
    const std::int64_t expected = 2 * static_cast<std::int64_t>(table.zeroCrossings) * table.oversampling + 1;
    if (count != expected)
        return std::nullopt;
    if ((size - kHeader) / 8 < static_cast<std::size_t>(count))
        return std::nullopt;
    table.values.resize(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        const double value = ReadDouble(data + kHeader + 8 * static_cast<std::size_t>(i));
        if (!std::isfinite(value))
            return std::nullopt;
        table.values[static_cast<std::size_t>(i)] = value;
    }
    return table;
}

std::vector<unsigned char> SerializeStepTable(const StepTableData& table)
{
    std::vector<unsigned char> out;
    out.reserve(12 + 8 * table.values.size());
    WriteUint32(out, static_cast<std::uint32_t>(table.zeroCrossings));
    WriteUint32(out, static_cast<std::uint32_t>(table.oversampling));
    WriteUint32(out, static_cast<std::uint32_t>(table.values.size()));
    for (double value : table.values)
        WriteDouble(out, value);
    return out;
}
