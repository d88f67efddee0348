#include "stockpack/Kick.h"

#include <cstdio>

#include "framework/AudioBuffer.h"
#include "framework/ControlBuffer.h"
#include "framework/Host.h"
#include "framework/Port.h"

using namespace zazud;

namespace {

constexpr int kFallbackSampleRate = 44100;
constexpr int kFallbackBlockSize = 256;
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

int HostSampleRate(CHost* host)
{
    const int rate = host != nullptr ? host->GetSampleRate() : 0;
    return rate > 0 ? rate : kFallbackSampleRate;
}

int HostBlockSize(CHost* host)
{
    const int length = host != nullptr ? host->GetBlockSize() : 0;
    return length > 0 ? length : kFallbackBlockSize;
}

} // namespace

double CKick::DefaultValue(int index)
{
    return index >= 0 && index < kParameterCount ? kParameters[index].defaultValue : 0.0;
}

CKick::CKick(CHost* host)
    : CMachine(host), sampleRate(HostSampleRate(host)), blockSize(HostBlockSize(host)),
      engine(sampleRate, blockSize)
{
    portCount = 2;
    ports = new CPort*[2];
    ports[kControlInPort] = new CPort(host, this, kPortControl | kPortInput, "Control In");
    ports[kLineOutPort] = new CPort(host, this, kPortAudio | kPortOutput, "Line Out");
    parameterCount = kParameterCount;
    programCount = 0;
    triggerCount = 0;
    for (int i = 0; i < kParameterCount; ++i)
        SetParameter(i, kParameters[i].defaultValue);
}

CKick::~CKick()
{
    for (int i = 0; i < portCount; ++i)
        delete ports[i];
    delete[] ports;
}

double CKick::GetParameter(int index)
{
    if (index < 0 || index >= kParameterCount)
        return 0.0;
    return values[index];
}

void CKick::SetParameter(int index, double value)
{
    if (index < 0 || index >= kParameterCount)
        return;
    Lock();
    values[index] = value;
    if (engine.Events().Count() >= ZazudEngine::kMaxPendingEvents)
        engine.ApplyPendingAtStart();
    const ControlEvent event = MakeControlEvent(kEventParameter, 0, index, value);
    engine.Events().Insert(&event);
    Unlock();
}

void CKick::GetParameterName(int index, char* out)
{
    const bool known = index >= 0 && index < kParameterCount;
    std::snprintf(out, kTextSize, "%s", known ? kParameters[index].name : "");
}

void CKick::FormatParameter(int index, double value, char* out)
{
    if (index < 0 || index >= kParameterCount) {
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
