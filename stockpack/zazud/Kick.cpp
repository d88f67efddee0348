#include "stockpack/zazud/Kick.h"

#include <cstdio>

#include "framework/AudioBuffer.h"
#include "framework/ControlBuffer.h"
#include "framework/ParameterLimit.h"
#include "framework/Port.h"
#include "framework/ScopedLock.h"
#include "stockpack/common/MachinePorts.h"
#include "stockpack/common/ParameterValues.h"

using namespace zazud;

namespace {

/// The most a name or display text takes, with its zero.
constexpr std::size_t kTextSize = 24;

struct KickParameter {
    const char* name;
    double defaultValue;
};

constexpr KickParameter kParameters[kParameterCount] = {
    {"VCO Attack", 0.02}, {"VCO Decay", 0.5}, {"VCO Curve", 0.28}, {"Amp Attack", 0.05},
    {"Amp Decay", 0.5},   {"Amp Curve", 1.0}, {"VCF Cutoff", 0.37},
};

} // namespace

double CKick::DefaultValue(int index)
{
    return index >= 0 && index < kParameterCount ? kParameters[index].defaultValue : 0.0;
}

CKick::CKick(CHost* host)
    : CMachine(host), sampleRate(HostSampleRate(host)), blockSize(HostBlockSize(host)),
      engine(sampleRate, blockSize)
{
    static_assert(kControlInPort == 0 && kLineOutPort == 1);
    CreatePorts(*this, {stock_ports::kControlIn, stock_ports::kMonoLineOut});
    parameterCount = kParameterCount;
    for (int i = 0; i < kParameterCount; ++i)
        SetParameter(i, kParameters[i].defaultValue);
}

CKick::~CKick()
{
    DeletePorts(*this);
}

double CKick::GetParameter(int index)
{
    return StoredParameter(values, index);
}

void CKick::SetParameter(int index, double value)
{
    if (!IsParameterIndex(index, kParameterCount))
        return;
    value = LimitParameter(value, DefaultValue(index));
    CScopedLock<CMachine> hold(*this);
    values[index] = value;
    QueueParameterChange(engine, index, value);
}

void CKick::GetParameterName(int index, char* out)
{
    const bool known = IsParameterIndex(index, kParameterCount);
    std::snprintf(out, kTextSize, "%s", known ? kParameters[index].name : "");
}

void CKick::FormatParameter(int index, double value, char* out)
{
    if (!IsParameterIndex(index, kParameterCount)) {
        out[0] = '\0';
        return;
    }
    std::snprintf(out, kTextSize, "%.0f%%", 100.0 * value);
}

void CKick::SetSampleRate(int rate)
{
    if (rate <= 0)
        return;
    sampleRate = rate;
    engine.SetSampleRate(rate);
}

void CKick::SetBlockSize(int length)
{
    if (length <= 0)
        return;
    blockSize = length;
    engine.SetBlockSize(length);
}

void CKick::DispatchEvents() noexcept
{
    CControlBuffer* input = ports[kControlInPort]->control;
    if (input == nullptr)
        return;
    ControlEvent event;
    while (input->Pop(&event)) {
        switch (event.type) {
        case kEventParameter:
            SetParameterNotify(event.index, event.value);
            break;
        case kEventNoteOn:
        case kEventNoteOff:
            engine.Events().Insert(&event);
            break;
        default:
            break;
        }
    }
}

void CKick::Work()
{
    DispatchEvents();
    CAudioBuffer* out = ports[kLineOutPort]->audio;
    if (out == nullptr || out->left == nullptr)
        return;
    engine.Render(out->left, out->length);
}
