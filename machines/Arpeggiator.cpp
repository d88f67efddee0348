#include "machines/Arpeggiator.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "framework/Host.h"
#include "framework/Port.h"
#include "framework/LittleEndian.h"
#include "machines/MachineEditors.h"

namespace {

template <class T>
T LoadRelaxed(const T& field)
{
    return std::atomic_ref<T>(const_cast<T&>(field)).load(std::memory_order_relaxed);
}

template <class T>
void StoreRelaxed(T& field, T value)
{
    std::atomic_ref<T>(field).store(value, std::memory_order_relaxed);
}

} // namespace

CArpeggiator::CArpeggiator(CHost* host)
    : CMachine(host), sampleRate(host != nullptr ? host->GetSampleRate() : 44100),
      blockSize(host != nullptr ? host->GetBlockSize() : 0)
{
    ports = new CPort*[2];
    ports[kControlIn] = new CPort(host, this, kPortControl | kPortInput, "Control In");
    ports[kControlOut] = new CPort(host, this, kPortControl | kPortOutput, "Control Out");
    portCount = 2;
    ports[kControlOut]->control->Reserve(kEventCapacity);
    deferred.Reserve(kEventCapacity);
}

CArpeggiator::~CArpeggiator()
{
    machine_editors::Close(editor);
    for (int i = 0; i < portCount; ++i)
        delete ports[i];
    delete[] ports;
}

bool CArpeggiator::GetEditorRect(std::int16_t* top, std::int16_t* left, std::int16_t* bottom, std::int16_t* right)
{
    return machine_editors::EditorRect(*this, top, left, bottom, right);
}

WindowHandle CArpeggiator::CreateEditor(WindowHandle parent)
{
    return machine_editors::Create(*this, editor, parent);
}

void CArpeggiator::CloseEditor()
{
    machine_editors::Close(editor);
}

void CArpeggiator::SetSampleRate(int rate)
{
    sampleRate = rate;
}

void CArpeggiator::SetBlockSize(int newLength)
{
    blockSize = newLength;
}

int CArpeggiator::StepLength()
{
    CHost* services = host;
    const double tempo = services != nullptr ? services->GetTempo() : 140.0;
    const int steps = LoadRelaxed(stepsPerBeat);
    const double samples = 60.0 / (tempo * steps) * sampleRate;
    // A tempo of 0 (or a rate of 0) would make a step last for ever or not
    // at all; a step of at least one sample keeps the loop below finite.
    if (!(samples >= 1.0))
        return 1;
    if (samples >= static_cast<double>(INT_MAX))
        return INT_MAX;
    return static_cast<int>(samples);
}

void CArpeggiator::Work()
{
    CControlBuffer* in = ports[kControlIn]->control;
    CControlBuffer* out = ports[kControlOut]->control;
    blockStepLength = StepLength();
    blockLength = LoadRelaxed(length);

    deferred.TransferDue(out, blockSize);

    int position = 0;
    ControlEvent event;
    while (in->Pop(&event)) {
        const int time = std::clamp(event.time, position, std::max(position, blockSize));
        Generate(position, time - position);
        position = time;
        if (event.type == kEventNoteOn) {
            active = true;
            baseNote = event.index;
            column = 0;
            phase = 0;
        } else if (event.type == kEventNoteOff && event.index == baseNote) {
            active = false;
            baseNote = 0;
            column = 0;
            phase = 0;
        }
    }
    if (position < blockSize)
        Generate(position, blockSize - position);
    shownStep.store(active ? (baseNote & 0x7FFFFF) << 8 | (column & 0xFF) : -1, std::memory_order_relaxed);
}

bool CArpeggiator::PlayingStep(int* note, int* nextColumn) const
{
    const std::int32_t step = shownStep.load(std::memory_order_relaxed);
    if (step < 0)
        return false;
    *note = step >> 8;
    *nextColumn = step & 0xFF;
    return true;
}

void CArpeggiator::Generate(int start, int span)
{
    if (!active)
        return;
    if (span <= phase) {
        phase -= span;
        return;
    }
    int time = start + phase;
    int left = span - phase;   // samples from this step to the end of the span
    for (;;) {
        PlayStep(time);
        column = (column + 1) % blockLength;
        if (blockStepLength >= left) {
            phase = blockStepLength - left;
            return;
        }
        time += blockStepLength;
        left -= blockStepLength;
    }
}

void CArpeggiator::PlayStep(int time)
{
    // The length may have shrunk under the cursor; columns past it never play.
    if (column >= blockLength)
        column = 0;
    CControlBuffer* out = ports[kControlOut]->control;
    CHost* services = host;
    for (int row = 0; row < kRows; ++row) {
        if (LoadRelaxed(grid[row][column]) == 0)
            continue;
        // Rows above note 127 (or below 0) have no MIDI note to play.
        const int note = baseNote + (kRows - 1) - row;
        if (note < 0 || note > 127)
            continue;
        if (out->Count() + 2 > kEventCapacity || deferred.Count() + 1 > kEventCapacity)
            return;
        double frequency = 0.0;
        if (services != nullptr)
            services->GetNoteFrequency(static_cast<unsigned>(note), &frequency);
        const ControlEvent on = MakeControlEvent(kEventNoteOn, time, note, kVelocity, frequency);
        out->Insert(&on);
        // In 64-bit so that a step of INT_MAX samples cannot wrap.
        const long long offTime = static_cast<long long>(time) + blockStepLength;
        if (offTime < blockSize) {
            const ControlEvent off = MakeControlEvent(kEventNoteOff, static_cast<int>(offTime), note, 0.0);
            out->Insert(&off);
        } else {
            const ControlEvent off = MakeControlEvent(
                kEventNoteOff, static_cast<int>(std::min<long long>(offTime - blockSize, INT_MAX)), note, 0.0);
            deferred.Insert(&off);
        }
    }
}

void CArpeggiator::SetStepsPerBeat(int steps)
{
    StoreRelaxed(stepsPerBeat, std::clamp(steps, kMinStepsPerBeat, kMaxStepsPerBeat));
}

int CArpeggiator::GetStepsPerBeat() const
{
    return LoadRelaxed(stepsPerBeat);
}

void CArpeggiator::SetLength(int steps)
{
    StoreRelaxed(length, std::clamp(steps, 1, kMaxSteps));
}

int CArpeggiator::GetLength() const
{
    return LoadRelaxed(length);
}

void CArpeggiator::SetCell(int row, int stepColumn, bool on)
{
    if (row < 0 || row >= kRows || stepColumn < 0 || stepColumn >= kMaxSteps)
        return;
    StoreRelaxed(grid[row][stepColumn], static_cast<std::uint8_t>(on ? 1 : 0));
}

bool CArpeggiator::GetCell(int row, int stepColumn) const
{
    if (row < 0 || row >= kRows || stepColumn < 0 || stepColumn >= kMaxSteps)
        return false;
    return LoadRelaxed(grid[row][stepColumn]) != 0;
}

void CArpeggiator::LoadState(const void* data, int stateLength, bool)
{
    if (data == nullptr || stateLength != kStateBytes)
        return;
    const auto* bytes = static_cast<const unsigned char*>(data);
    SetStepsPerBeat(ReadLittleEndianInt32(bytes));
    SetLength(ReadLittleEndianInt32(bytes + 4));
    for (int row = 0; row < kRows; ++row) {
        for (int step = 0; step < kMaxSteps; ++step)
            SetCell(row, step, bytes[8 + row * kMaxSteps + step] != 0);
    }
}

void CArpeggiator::SaveState(void** data, int* stateLength, bool* hostFormat)
{
    auto* bytes = static_cast<unsigned char*>(std::malloc(kStateBytes));
    if (bytes != nullptr) {
        WriteLittleEndian32(bytes, GetStepsPerBeat());
        WriteLittleEndian32(bytes + 4, GetLength());
        for (int row = 0; row < kRows; ++row) {
            for (int step = 0; step < kMaxSteps; ++step)
                bytes[8 + row * kMaxSteps + step] = GetCell(row, step) ? 1 : 0;
        }
    }
    *data = bytes;
    *stateLength = bytes != nullptr ? kStateBytes : 0;
    *hostFormat = false;
}

CArpeggiatorInfo::CArpeggiatorInfo(CHost* host) : host(host)
{
    name = "KV Arpeggiator";
    identifier = "CorvPlug::KV Arpeggiator";
}

CMachine* CArpeggiatorInfo::CreateMachine()
{
    return new CArpeggiator(host);
}
