#include "stockpack/razuzuri/RazuZuri.h"

#include <cstdio>

#include "framework/AudioBuffer.h"
#include "framework/ControlBuffer.h"
#include "framework/ParameterLimit.h"
#include "framework/Port.h"
#include "framework/ScopedLock.h"
#include "platform/Random.h"
#include "stockpack/common/MachinePorts.h"
#include "stockpack/common/ParameterValues.h"
#include "stockpack/common/PlugContext.h"
#include "stockpack/common/SkinImages.h"
#include "stockpack/razuzuri/RazuZuriGUI.h"
#include "stockpack/razuzuri/RazuZuriVoice.h"

using namespace razuzuri;

namespace {

constexpr int kNoteCount = 128;
/// The most a name or display text takes, with its zero: the texts are far
/// shorter, and only absurd values (from a damaged project) are cut.
constexpr std::size_t kTextSize = 24;

} // namespace

CRazuZuri::CRazuZuri(CHost* host, const CSkinImages* images, bool polyphonic)
    : CMachine(host), images(images), polyphonic(polyphonic), sampleRate(HostSampleRate(host)),
      blockSize(HostBlockSize(host))
{
    static_assert(kControlInPort == 0 && kLineOutPort == 1);
    CreatePorts(*this, {stock_ports::kControlIn, stock_ports::kStereoLineOut});
    parameterCount = kParameterCount;

    // Noise and the random LFO shapes draw from the program's generator;
    // CORVANE_SEED makes a render repeat exactly.
    platform::SeedRandom(platform::DefaultRandomSeed());

    const WaveTables& tables = SharedWaveTables();
    const int count = polyphonic ? kPolyphonicVoices : 1;
    voices.reserve(static_cast<std::size_t>(count));
    for (int v = 0; v < count; ++v)
        voices.push_back(std::make_unique<CRazuZuriVoice>(tables, host, sampleRate, blockSize));
    for (int i = 0; i < kParameterCount; ++i) {
        values[i] = GetParameterInfo(i)->defaultValue;
        for (auto& voice : voices)
            voice->ApplyParameter(i, values[i]);
    }
}

CRazuZuri::~CRazuZuri()
{
    editor.Close();
    DeletePorts(*this);
}

double CRazuZuri::GetParameter(int index)
{
    return StoredParameter(values, index);
}

void CRazuZuri::SetParameter(int index, double value)
{
    if (!IsParameterIndex(index, kParameterCount))
        return;
    value = LimitParameter(value, GetParameterInfo(index)->defaultValue);
    CScopedLock<CMachine> hold(*this);
    values[index] = value;
    for (auto& voice : voices)
        QueueParameterChange(*voice, index, value);
}

void CRazuZuri::GetParameterName(int index, char* out)
{
    const ParameterInfo* info = GetParameterInfo(index);
    std::snprintf(out, kTextSize, "%s", info != nullptr ? info->name : "");
}

void CRazuZuri::FormatParameter(int index, double value, char* out)
{
    FormatParameterValue(index, value, out, kTextSize);
}

void CRazuZuri::SetSampleRate(int rate)
{
    if (rate <= 0)
        return;
    sampleRate = rate;
    for (auto& voice : voices)
        voice->SetSampleRate(rate);
}

void CRazuZuri::SetBlockSize(int length)
{
    if (length <= 0)
        return;
    blockSize = length;
    for (auto& voice : voices)
        voice->SetBlockSize(length);
}

CRazuZuriVoice* CRazuZuri::VoicePlaying(int note) noexcept
{
    for (auto& voice : voices) {
        if (voice->note == note)
            return voice.get();
    }
    return nullptr;
}

void CRazuZuri::DispatchEvents() noexcept
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
        case kEventNoteOn: {
            // Note numbers outside the MIDI range have no pitch to play and
            // could never be released.
            if (event.index < 0 || event.index >= kNoteCount)
                break;
            CRazuZuriVoice* voice = VoicePlaying(event.index);
            if (voice == nullptr) {
                voice = voices[static_cast<std::size_t>(nextVoice)].get();
                nextVoice = (nextVoice + 1) % static_cast<int>(voices.size());
            }
            voice->note = event.index;
            voice->Events().Insert(&event);
            break;
        }
        case kEventNoteOff: {
            if (event.index < 0 || event.index >= kNoteCount)
                break;
            if (CRazuZuriVoice* voice = VoicePlaying(event.index)) {
                voice->note = -1;
                voice->Events().Insert(&event);
            }
            break;
        }
        default:
            break;
        }
    }
}

void CRazuZuri::Work()
{
    DispatchEvents();
    CAudioBuffer* out = ports[kLineOutPort]->audio;
    if (!HasStereoSamples(out))
        return;
    out->Clear();
    const int frames = out->length;
    for (auto& voice : voices)
        voice->Render(out->left, out->right, frames);
}

bool CRazuZuri::GetEditorRect(std::int16_t* top, std::int16_t* left, std::int16_t* bottom, std::int16_t* right)
{
    return SkinEditorRect(images, CRazuZuriGUI::kBackground, top, left, bottom, right);
}

WindowHandle CRazuZuri::CreateEditor(WindowHandle parent)
{
    if (images == nullptr || !images->IsComplete())
        return nullptr;
    return editor.Open(parent, std::make_unique<CRazuZuriGUI>(this, *images));
}

void CRazuZuri::CloseEditor()
{
    editor.Close();
}
