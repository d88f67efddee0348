#include "machines/MIDIInput.h"

#include <algorithm>

#include "framework/ControlBuffer.h"
#include "framework/Error.h"
#include "framework/Host.h"
#include "framework/Port.h"
#include "machines/MIDIDevices.h"
#include "machines/MIDIInputDevice.h"
#include "machines/MachineEditors.h"
#include "platform/Clock.h"

CMIDIInput::CMIDIInput(CHost* host, CMIDIDevices* devices)
    : CMIDIDeviceMachine(host, devices, kPortControl | kPortOutput, "Control Out", kAllChannels)
{
    ports[kControlOut]->control->Reserve(kQueueCapacity);
}

bool CMIDIInput::GetEditorRect(std::int16_t* top, std::int16_t* left, std::int16_t* bottom, std::int16_t* right)
{
    return machine_editors::EditorRect(*this, top, left, bottom, right);
}

WindowHandle CMIDIInput::CreateEditor(WindowHandle parent)
{
    return machine_editors::Create(*this, editor, parent);
}

void CMIDIInput::CloseEditor()
{
    machine_editors::Close(editor);
}

CMIDIInput::~CMIDIInput()
{
    machine_editors::Close(editor);
    LetGoOfDevice();
}

void CMIDIInput::OnMessage(void* machine, std::uint8_t status, std::uint8_t data1, std::uint8_t data2)
{
    auto* self = static_cast<CMIDIInput*>(machine);
    const int wanted = self->channel.load(std::memory_order_relaxed);
    if (wanted != kAllChannels && wanted != (status & 0x0F))
        return;
    // A note-on of velocity 0 is the running-status way of saying note-off.
    if (status >= 0x90 && status <= 0x9F && data2 == 0)
        status = static_cast<std::uint8_t>(status - 0x10);

    ControlEvent event;
    if (status >= 0x90 && status <= 0x9F) {
        double frequency = 0.0;
        CHost* services = self->host;
        if (services != nullptr)
            services->GetNoteFrequency(data1, &frequency);
        event = MakeControlEvent(kEventNoteOn, 0, data1, data2 / 127.0, frequency);
    } else if (status >= 0x80 && status <= 0x8F) {
        event = MakeControlEvent(kEventNoteOff, 0, data1, 0.0);
    } else if (status >= 0xB0 && status <= 0xBF) {
        event = MakeControlEvent(kEventParameter, 0, data1, data2 / 127.0);
    } else {
        return;
    }
    event.stamp = self->performanceFrequency != 0 ? platform::QueryPerformanceCounter() : 0;
    if (!self->arrivals.Push(event))
        self->dropped.fetch_add(1, std::memory_order_relaxed);
}

void CMIDIInput::Work()
{
    CControlBuffer* out = ports[kControlOut]->control;
    ControlEvent event;
    if (performanceFrequency == 0) {
        // No clock to place them by: everything at the block's start.
        while (out->Count() < kQueueCapacity && arrivals.Pop(&event))
            out->Insert(&event);
        return;
    }
    const std::int64_t now = platform::QueryPerformanceCounter();
    int lastTime = 0;
    bool startsAtLastTime = false;   // a non-note-off was placed at lastTime
    while (const ControlEvent* front = arrivals.Front()) {
        std::int64_t offset = std::max<std::int64_t>(Offset(front->stamp, now), lastTime);
        // A receiver takes note-offs first among events of one sample, so a
        // note played and let go within one sample would end before it
        // began and sound for ever: its off moves one sample on.
        if (front->type == kEventNoteOff && startsAtLastTime && offset == lastTime)
            ++offset;
        // Due later (and so is everything that arrived after it), or no room
        // this block: it waits, in its place, for a later block.
        if (offset >= blockSize || out->Count() >= kQueueCapacity)
            break;
        arrivals.Pop(&event);
        event.time = static_cast<std::int32_t>(offset);
        out->Insert(&event);
        if (event.time != lastTime) {
            lastTime = event.time;
            startsAtLastTime = false;
        }
        if (event.type != kEventNoteOff)
            startsAtLastTime = true;
    }
}

std::int64_t CMIDIInput::Offset(std::int64_t stamp, std::int64_t now) const
{
    // Every message is heard a fixed 80 ms after it arrived, at the sample
    // that matches its arrival; one that is late already starts the block.
    const std::int64_t f = performanceFrequency;
    // Long overdue (the studio was not rendering): at once. This also keeps
    // the product below inside 64 bits however old the stamp.
    if (now - stamp >= f)
        return 0;
    const std::int64_t offset = static_cast<std::int64_t>(sampleRate) * (f * kLatencyMilliseconds / 1000 + stamp - now) / f;
    return offset > 0 ? offset : 0;
}

void CMIDIInput::Detach()
{
    MIDIInputDevice* old = device.exchange(nullptr, std::memory_order_acq_rel);
    if (old == nullptr)
        return;
    // The hook goes first: once it is out, no message can reach this
    // machine, whatever the device does next.
    old->RemoveHook(&CMIDIInput::OnMessage, this);
    old->Close();
}

void CMIDIInput::Attach(int position)
{
    MIDIInputDevice* next = devices != nullptr ? devices->Input(position) : nullptr;
    if (next == nullptr)
        return;
    next->AddHook(&CMIDIInput::OnMessage, this);
    try {
        next->Open();
    } catch (const CError&) {
        // Not open for this machine, so it must not close it later either.
        next->RemoveHook(&CMIDIInput::OnMessage, this);
        throw;
    }
    device.store(next, std::memory_order_release);
}

CMIDIInputInfo::CMIDIInputInfo(CHost* host, CMIDIDevices* devices) : host(host), devices(devices)
{
    name = "KV MIDI Input";
    identifier = "CorvPlug::KV MIDI Input";
}

CMachine* CMIDIInputInfo::CreateMachine()
{
    return new CMIDIInput(host, devices);
}
