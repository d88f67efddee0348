#include "machines/MIDIOutput.h"

#include <cstdio>

#include "framework/Error.h"
#include "framework/Host.h"
#include "framework/ParameterLimit.h"
#include "framework/Port.h"
#include "machines/MIDIDevices.h"
#include "machines/MIDIOutputDevice.h"
#include "machines/MachineEditors.h"
#include "platform/Clock.h"

namespace {

constexpr std::chrono::milliseconds kFinalSendBound{2000};

/// A value 0 .. 1 as a MIDI data byte. Values outside are held at the ends:
/// a byte of 128 or more would be read as a status byte by the receiver.
std::uint8_t ToDataByte(double value)
{
    if (!(value > 0.0))
        return 0;
    if (value >= 1.0)
        return 127;
    return static_cast<std::uint8_t>(static_cast<int>(value * 127.0));
}

} // namespace

CMIDIOutput::CMIDIOutput(CHost* host, CMIDIDevices* devices)
    : CMIDIDeviceMachine(host, devices, kPortControl | kPortInput, "Control In", 0)
{
    parameterCount = kControllerCount;
    // Room for a full waiting queue and the controllers coming back in.
    ports[kControlIn]->control->Reserve(2 * kQueueCapacity + kControllerCount);
    waiting.Reserve(kQueueCapacity);
}

bool CMIDIOutput::GetEditorRect(std::int16_t* top, std::int16_t* left, std::int16_t* bottom, std::int16_t* right)
{
    return machine_editors::EditorRect(*this, top, left, bottom, right);
}

WindowHandle CMIDIOutput::CreateEditor(WindowHandle parent)
{
    return machine_editors::Create(*this, editor, parent);
}

void CMIDIOutput::CloseEditor()
{
    machine_editors::Close(editor);
}

CMIDIOutput::~CMIDIOutput()
{
    machine_editors::Close(editor);
    // The last block's messages (note-offs among them) are due within a
    // block's time; they go out before the device is let go.
    scheduler.WaitUntilIdle(kFinalSendBound);
    LetGoOfDevice();
}

double CMIDIOutput::GetParameter(int index)
{
    if (index < 0 || index >= kControllerCount)
        return 0.0;
    return std::atomic_ref<double>(values[index]).load(std::memory_order_relaxed);
}

void CMIDIOutput::SetParameter(int index, double value)
{
    if (index < 0 || index >= kControllerCount)
        return;
    value = LimitParameter(value, 0.0);
    std::atomic_ref<double>(values[index]).store(value, std::memory_order_relaxed);
    changedControllers[index / 32].fetch_or(1u << (index % 32), std::memory_order_release);
}

void CMIDIOutput::GetParameterName(int index, char* out)
{
    std::snprintf(out, 16, "CC %i", index);
}

void CMIDIOutput::FormatParameter(int, double value, char* out)
{
    // Held inside the int range before the cast, which would otherwise be
    // undefined; modulo 256 as the one byte it was sent as.
    const double scaled = value * 127.0;
    int whole = 0;
    if (scaled >= 1e6)
        whole = 1000000;
    else if (scaled <= -1e6)
        whole = -1000000;
    else if (scaled == scaled)   // not NaN
        whole = static_cast<int>(scaled);
    std::snprintf(out, 16, "%i", static_cast<int>(static_cast<std::uint8_t>(whole)));
}

void CMIDIOutput::QueueChangedControllers(CControlBuffer* in)
{
    for (int word = 0; word < kControllerCount / 32; ++word) {
        std::uint32_t bits = changedControllers[word].exchange(0, std::memory_order_acquire);
        while (bits != 0) {
            const int bit = __builtin_ctz(bits);
            bits &= bits - 1;
            const int index = word * 32 + bit;
            const ControlEvent event = MakeControlEvent(kEventParameter, 0, index, GetParameter(index));
            in->Insert(&event);
        }
    }
}

void CMIDIOutput::Work()
{
    const std::int64_t blockStart = platform::QueryPerformanceCounter();
    MIDIOutputDevice* target = device.load(std::memory_order_acquire);
    CControlBuffer* in = ports[kControlIn]->control;

    QueueChangedControllers(in);
    // What waited for this block joins the new events, in time order.
    waiting.TransferDue(in, blockSize);

    ControlEvent event;
    while (in->Pop(&event)) {
        if (event.time >= blockSize) {
            // Kept once, timed from the next block: each event leaves once.
            event.time -= blockSize;
            if (waiting.Count() < kQueueCapacity)
                waiting.Insert(&event);
            continue;
        }
        if (target != nullptr)
            Send(event, target, blockStart);
    }
}

void CMIDIOutput::Send(const ControlEvent& event, MIDIOutputDevice* target, std::int64_t blockStart)
{
    const auto base = static_cast<std::uint8_t>(channel.load(std::memory_order_relaxed) & 0x0F);
    CMIDIOutputScheduler::Message message;
    message.device = target;
    switch (event.type) {
    case kEventNoteOn:
        if (event.index < 0 || event.index > 127)
            return;
        message.status = static_cast<std::uint8_t>(0x90 + base);
        message.data1 = static_cast<std::uint8_t>(event.index);
        message.data2 = ToDataByte(event.value);
        break;
    case kEventNoteOff:
        if (event.index < 0 || event.index > 127)
            return;
        message.status = static_cast<std::uint8_t>(0x80 + base);
        message.data1 = static_cast<std::uint8_t>(event.index);
        message.data2 = 0;
        break;
    case kEventParameter:
        if (event.index < 0 || event.index > 127)
            return;
        message.status = static_cast<std::uint8_t>(0xB0 + base);
        message.data1 = static_cast<std::uint8_t>(event.index);
        message.data2 = ToDataByte(event.value);
        break;
    default:
        return;
    }
    const std::int64_t offset = event.time > 0 ? event.time : 0;
    message.due = sampleRate > 0 ? blockStart + offset * performanceFrequency / sampleRate : blockStart;
    scheduler.Schedule(message);
}

void CMIDIOutput::Detach()
{
    MIDIOutputDevice* old = device.exchange(nullptr, std::memory_order_acq_rel);
    // From here on nothing more is written to the old device, and a write in
    // progress has finished, so it may close.
    scheduler.SetDevice(nullptr);
    if (old != nullptr)
        old->Close();
}

void CMIDIOutput::Attach(int position)
{
    MIDIOutputDevice* next = devices != nullptr ? devices->Output(position) : nullptr;
    if (next == nullptr)
        return;
    next->Open();
    scheduler.SetDevice(next);
    device.store(next, std::memory_order_release);
}

CMIDIOutputInfo::CMIDIOutputInfo(CHost* host, CMIDIDevices* devices) : host(host), devices(devices)
{
    name = "KV MIDI Output";
    identifier = "CorvPlug::KV MIDI Output";
}

CMachine* CMIDIOutputInfo::CreateMachine()
{
    return new CMIDIOutput(host, devices);
}
