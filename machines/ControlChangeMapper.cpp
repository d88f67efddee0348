#include "machines/ControlChangeMapper.h"

#include <cstdlib>

#include "framework/ControlBuffer.h"
#include "framework/Port.h"
#include "framework/ScopedLock.h"
#include "framework/LittleEndian.h"
#include "machines/MachineEditors.h"

CControlChangeMapper::CControlChangeMapper(CHost* host) : CMachine(host)
{
    ports = new CPort*[2];
    ports[kControlIn] = new CPort(host, this, kPortControl | kPortInput, "Control In");
    ports[kControlOut] = new CPort(host, this, kPortControl | kPortOutput, "Control Out");
    portCount = 2;
    ports[kControlOut]->control->Reserve(kReservedEvents);
}

bool CControlChangeMapper::GetEditorRect(std::int16_t* top, std::int16_t* left, std::int16_t* bottom, std::int16_t* right)
{
    return machine_editors::EditorRect(*this, top, left, bottom, right);
}

WindowHandle CControlChangeMapper::CreateEditor(WindowHandle parent)
{
    return machine_editors::Create(*this, editor, parent);
}

void CControlChangeMapper::CloseEditor()
{
    machine_editors::Close(editor);
}

CControlChangeMapper::~CControlChangeMapper()
{
    machine_editors::Close(editor);
    for (int i = 0; i < mappings.GetCount(); ++i)
        delete At(i);
    for (int i = 0; i < portCount; ++i)
        delete ports[i];
    delete[] ports;
}

void CControlChangeMapper::Work()
{
    // A mapper the master does not reach runs without its lock held by the
    // engine; the lock nests, so taking it here costs nothing otherwise.
    CScopedLock<CMachine> hold(*this);
    CControlBuffer* in = ports[kControlIn]->control;
    CControlBuffer* out = ports[kControlOut]->control;
    ControlEvent event;
    while (in->Pop(&event)) {
        if (event.type == kEventParameter)
            Map(event);
        out->Insert(&event);
    }
}

void CControlChangeMapper::Map(ControlEvent& event)
{
    const int count = mappings.GetCount();
    // Training first, so the event that trains a pair is already mapped by it.
    for (int i = 0; i < count; ++i) {
        Mapping* mapping = At(i);
        if (mapping->training) {
            mapping->training = false;
            mapping->mapIn = event.index;
            trained.fetch_add(1, std::memory_order_relaxed);
        }
    }
    for (int i = 0; i < count; ++i) {
        const Mapping* mapping = At(i);
        if (mapping->mapIn == event.index) {
            event.index = mapping->mapOut;
            return;
        }
    }
}

int CControlChangeMapper::AddMapping()
{
    CScopedLock<CMachine> hold(*this);
    mappings.AddItem(new Mapping);
    const int index = mappings.GetCount() - 1;
    return index;
}

void CControlChangeMapper::SetMapping(int pair, int mapIn, int mapOut)
{
    CScopedLock<CMachine> hold(*this);
    if (Mapping* mapping = At(pair)) {
        mapping->mapIn = mapIn;
        mapping->mapOut = mapOut;
    }
}

void CControlChangeMapper::RemoveMapping(int pair)
{
    CScopedLock<CMachine> hold(*this);
    if (Mapping* mapping = At(pair)) {
        mappings.RemoveItem(pair);
        delete mapping;
    }
}

void CControlChangeMapper::RemoveLastMapping()
{
    int count = 0;
    {
        CScopedLock<CMachine> hold(*this);
        count = mappings.GetCount();
    }
    if (count > 0)
        RemoveMapping(count - 1);
}

int CControlChangeMapper::MappingCount()
{
    CScopedLock<CMachine> hold(*this);
    const int count = mappings.GetCount();
    return count;
}

bool CControlChangeMapper::GetMapping(int pair, Mapping* out)
{
    CScopedLock<CMachine> hold(*this);
    const Mapping* mapping = At(pair);
    if (mapping != nullptr)
        *out = *mapping;
    return mapping != nullptr;
}

void CControlChangeMapper::SetTraining(int pair, bool on)
{
    CScopedLock<CMachine> hold(*this);
    if (Mapping* mapping = At(pair))
        mapping->training = on;
}

void CControlChangeMapper::LoadState(const void* data, int length, bool)
{
    if (data == nullptr || length < 4)
        return;
    const auto* bytes = static_cast<const unsigned char*>(data);
    const std::int32_t count = ReadLittleEndianInt32(bytes);
    // In 64 bits, so a count near the int32 limits cannot wrap into a match.
    if ((2 * static_cast<std::int64_t>(count) + 1) * 4 != length)
        return;
    CScopedLock<CMachine> hold(*this);
    for (int i = 0; i < count; ++i) {
        auto* mapping = new Mapping;
        mapping->mapIn = ReadLittleEndianInt32(bytes + 4 + 8 * i);
        mapping->mapOut = ReadLittleEndianInt32(bytes + 8 + 8 * i);
        mappings.AddItem(mapping);
    }
}

void CControlChangeMapper::SaveState(void** data, int* length, bool* hostFormat)
{
    int bytesNeeded = 0;
    unsigned char* bytes = nullptr;
    {
        CScopedLock<CMachine> hold(*this);
        const int count = mappings.GetCount();
        bytesNeeded = (2 * count + 1) * 4;
        bytes = static_cast<unsigned char*>(std::malloc(static_cast<std::size_t>(bytesNeeded)));
        if (bytes != nullptr) {
            WriteLittleEndian32(bytes, count);
            for (int i = 0; i < count; ++i) {
                WriteLittleEndian32(bytes + 4 + 8 * i, At(i)->mapIn);
                WriteLittleEndian32(bytes + 8 + 8 * i, At(i)->mapOut);
            }
        }
    }
    *data = bytes;
    *length = bytes != nullptr ? bytesNeeded : 0;
    *hostFormat = false;
}

CControlChangeMapperInfo::CControlChangeMapperInfo(CHost* host) : host(host)
{
    name = "KV ControlChange Mapper";
    identifier = "CorvPlug::KV ControlChange Mapper";
}

CMachine* CControlChangeMapperInfo::CreateMachine()
{
    return new CControlChangeMapper(host);
}
