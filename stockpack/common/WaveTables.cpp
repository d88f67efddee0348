#include "stockpack/common/WaveTables.h"

#include <cmath>
#include <mutex>
#include <numbers>

#include "platform/Resources.h"
#include "stockpack/dsp/BandLimitedStep.h"

namespace {

double sineTable[kWaveTableLength];
double cosineTable[kWaveTableLength];

void FillSineTables()
{
    // Once per library: audio code may be reading them already when another
    // set of tables is built.
    static std::once_flag filled;
    std::call_once(filled, [] {
        for (int i = 0; i < kWaveTableLength; ++i) {
            const double angle = 2.0 * std::numbers::pi * i / kWaveTableLength;
            sineTable[i] = std::sin(angle);
            cosineTable[i] = std::cos(angle);
        }
    });
}

} // namespace

CountedTable SineTable()
{
    return {sineTable, kWaveTableLength};
}

CountedTable CosineTable()
{
    return {cosineTable, kWaveTableLength};
}

WaveTables::WaveTables()
{
    const platform::ResourceView resource = platform::FindResource(kStepTableResourceType, kStepTableResourceId);
    Build(resource.data, resource.size);
}

WaveTables::WaveTables(const platform::ResourceView& stepResource)
{
    Build(stepResource.data, stepResource.size);
}

void WaveTables::Build(const unsigned char* stepData, std::size_t stepSize)
{
    FillSineTables();
    triangle.resize(kWaveTableLength);
    saw.resize(kWaveTableLength);
    square.resize(kWaveTableLength);
    for (int i = 0; i < kWaveTableLength; ++i) {
        const double x = static_cast<double>(i) / kWaveTableLength;
        triangle[static_cast<std::size_t>(i)] = x < 0.5 ? 1.0 - std::fabs(x - 0.25) * 4.0
                                                        : -(1.0 - std::fabs(x - 0.75) * 4.0);
        saw[static_cast<std::size_t>(i)] = 1.0 - 2.0 * x;
        square[static_cast<std::size_t>(i)] = x < 0.5 ? 1.0 : -1.0;
    }

    // Every oscillator needs the step, so a missing or damaged resource
    // costs start-up time, never the sound.
    StepTableData stepTable;
    if (auto parsed = ParseStepTable(stepData, stepSize)) {
        stepTable = std::move(*parsed);
        stepFromResource = true;
    } else {
        stepTable.zeroCrossings = kStepZeroCrossings;
        stepTable.oversampling = kStepOversampling;
        stepTable.values = GenerateBandLimitedTable(kStepZeroCrossings, kStepOversampling, true);
        stepFromResource = false;
    }
    stepValues = std::move(stepTable.values);
    step = {View(stepValues), stepTable.zeroCrossings, stepTable.oversampling};
    const int span = step.SpanSamples();
    const int count = step.table.count;
    if (span > 0 && step.oversampling > 0) {
        const auto size = static_cast<std::size_t>(span) * static_cast<std::size_t>(step.oversampling);
        stepRowValues.assign(size, 1.0);
        stepRowSlopes.assign(size, 0.0);
        for (int b = 0; b < step.oversampling; ++b) {
            for (int k = 0; k < span; ++k) {
                const int at = b + k * step.oversampling;
                if (at + 1 >= count)
                    break;
                const auto row = static_cast<std::size_t>(b * span + k);
                stepRowValues[row] = stepValues[static_cast<std::size_t>(at)];
                stepRowSlopes[row] = stepValues[static_cast<std::size_t>(at + 1)] - stepValues[static_cast<std::size_t>(at)];
            }
        }
        step.rowValues = stepRowValues.data();
        step.rowSlopes = stepRowSlopes.data();
    }

    impulseValues = GenerateBandLimitedTable(kImpulseZeroCrossings, kImpulseOversampling, false);
    impulse = {View(impulseValues), kImpulseZeroCrossings, kImpulseOversampling};

    integratedValues = IntegrateToUnit(stepValues);
    integratedStep = {View(integratedValues), step.zeroCrossings, step.oversampling};
}

LfoTables WaveTables::ForLfo() const
{
    return {SineTable(), Triangle(), Saw(), Square()};
}
