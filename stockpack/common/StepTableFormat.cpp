#include "stockpack/common/StepTableFormat.h"

#include <bit>
#include <cmath>

#include "framework/LittleEndian.h"
#include "stockpack/dsp/BandLimitedOscillator.h"

namespace {

void AppendUint32(std::vector<unsigned char>& out, std::uint32_t value)
{
    unsigned char bytes[4];
    WriteLittleEndian32(bytes, value);
    out.insert(out.end(), bytes, bytes + 4);
}

void AppendDouble(std::vector<unsigned char>& out, double value)
{
    unsigned char bytes[8];
    WriteLittleEndian64(bytes, std::bit_cast<std::uint64_t>(value));
    out.insert(out.end(), bytes, bytes + 8);
}

} // namespace

std::optional<StepTableData> ParseStepTable(const unsigned char* data, std::size_t size)
{
    constexpr std::size_t kHeader = 12;
    if (data == nullptr || size < kHeader)
        return std::nullopt;
    StepTableData table;
    table.zeroCrossings = static_cast<std::int32_t>(ReadLittleEndian32(data));
    table.oversampling = static_cast<std::int32_t>(ReadLittleEndian32(data + 4));
    const auto count = static_cast<std::int32_t>(ReadLittleEndian32(data + 8));
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
        const double value = std::bit_cast<double>(ReadLittleEndian64(data + kHeader + 8 * static_cast<std::size_t>(i)));
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
    AppendUint32(out, static_cast<std::uint32_t>(table.zeroCrossings));
    AppendUint32(out, static_cast<std::uint32_t>(table.oversampling));
    AppendUint32(out, static_cast<std::uint32_t>(table.values.size()));
    for (double value : table.values)
        AppendDouble(out, value);
    return out;
}
