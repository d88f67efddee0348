// Host and plug-in libraries call each other's virtual operations by slot
// and read each other's fields by offset, so both sides must agree on the
// exact layout. These tests pin the slot order of every shared class and the
// order, width and 4-byte packing of their fields.
//
// Under the Itanium C++ ABI (g++ and clang on x86 and x86-64), a pointer to
// a virtual member function holds 1 + the byte offset of its vtable slot;
// that is how the slots are read here.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "framework/AudioBuffer.h"
#include "framework/Connection.h"
#include "framework/ControlBuffer.h"
#include "framework/Host.h"
#include "framework/HostMutex.h"
#include "framework/Machine.h"
#include "framework/MachineInfo.h"
#include "framework/Port.h"
#include "framework/ProgramRecord.h"
#include "framework/Thread.h"
#include "tests/framework/Unpacked.h"

#if !defined(__x86_64__) && !defined(__i386__)
#error "virtual slots are read the x86 Itanium way"
#endif

namespace {

/// The vtable slot of a virtual member function, -1 when it is not virtual.
template <typename Member>
long Slot(Member member)
{
    static_assert(sizeof(Member) == 2 * sizeof(std::uintptr_t));
    std::uintptr_t words[2];
    std::memcpy(words, &member, sizeof words);
    if ((words[0] & 1) == 0)
        return -1;
    return static_cast<long>((words[0] - 1) / sizeof(void*));
}

TEST(MachineSlotOrder, MutexAndBankClientSlots)
{
    EXPECT_EQ(Slot(&CMutex::Lock), 2);
    EXPECT_EQ(Slot(&CMutex::Unlock), 3);
    EXPECT_EQ(Slot(&CMutex::IsLocked), 4);
    EXPECT_EQ(Slot(&CMutex::IsLockedByCaller), -1);
    EXPECT_EQ(Slot(&CBankClient::ConnectBankServer), 5);
    EXPECT_EQ(Slot(&CBankClient::DisconnectBankServer), 6);
    EXPECT_EQ(Slot(&CBankClient::IsBankServerAvailable), 7);
    EXPECT_EQ(Slot(&CBankClient::OnBankAdded), 8);
    EXPECT_EQ(Slot(&CBankClient::OnBankEntryAdded), 9);
    EXPECT_EQ(Slot(&CBankClient::OnBankItemAdded), 10);
}

TEST(MachineSlotOrder, MachineSlots)
{
    EXPECT_EQ(Slot(&CMachine::Lock), 2);
    EXPECT_EQ(Slot(&CMachine::OnBankItemAdded), 10);
    EXPECT_EQ(Slot(&CMachine::Release), 11);
    EXPECT_EQ(Slot(&CMachine::Work), 12);
    EXPECT_EQ(Slot(&CMachine::WorkReturns), 13);
    EXPECT_EQ(Slot(&CMachine::GetEditorRect), 14);
    EXPECT_EQ(Slot(&CMachine::CreateEditor), 15);
    EXPECT_EQ(Slot(&CMachine::ShowEditor), 16);
    EXPECT_EQ(Slot(&CMachine::CloseEditor), 17);
    EXPECT_EQ(Slot(&CMachine::Idle), 18);
    EXPECT_EQ(Slot(&CMachine::GetParameter), 19);
    EXPECT_EQ(Slot(&CMachine::SetParameter), 20);
    EXPECT_EQ(Slot(&CMachine::SetParameterNotify), 21);
    EXPECT_EQ(Slot(&CMachine::GetParameterName), 22);
    EXPECT_EQ(Slot(&CMachine::FormatCurrentParameter), 23);
    EXPECT_EQ(Slot(&CMachine::FormatParameter), 24);
    EXPECT_EQ(Slot(&CMachine::GetNoteName), 25);
    EXPECT_EQ(Slot(&CMachine::SetProgram), 26);
    EXPECT_EQ(Slot(&CMachine::GetProgramName), 27);
    EXPECT_EQ(Slot(&CMachine::SetProgramName), 28);
    EXPECT_EQ(Slot(&CMachine::GetProgramNameIndexed), 29);
    EXPECT_EQ(Slot(&CMachine::GetProgram), 30);
    EXPECT_EQ(Slot(&CMachine::SetSampleRate), 31);
    EXPECT_EQ(Slot(&CMachine::SetBlockSize), 32);
    EXPECT_EQ(Slot(&CMachine::ResizePortBuffers), 33);
    EXPECT_EQ(Slot(&CMachine::BeginParameterUpdate), 34);
    EXPECT_EQ(Slot(&CMachine::EndParameterUpdate), 35);
    EXPECT_EQ(Slot(&CMachine::SetName), 36);
    EXPECT_EQ(Slot(&CMachine::GetName), 37);
    EXPECT_EQ(Slot(&CMachine::LoadState), 38);
    EXPECT_EQ(Slot(&CMachine::SaveState), 39);
    EXPECT_EQ(Slot(&CMachine::IsInstrument), 40);
}

TEST(MachineSlotOrder, BufferDescriptorHostAndThreadSlots)
{
    EXPECT_EQ(Slot(&CControlBuffer::Pop), 2);
    EXPECT_EQ(Slot(&CControlBuffer::Insert), 3);
    EXPECT_EQ(Slot(&CControlBuffer::Clear), 4);
    EXPECT_EQ(Slot(&CControlBuffer::CopyInto), 5);
    EXPECT_EQ(Slot(&CControlBuffer::TransferDue), 6);
    EXPECT_EQ(Slot(&CControlBuffer::Count), 7);
    EXPECT_EQ(Slot(&CControlBuffer::Reserve), -1);

    EXPECT_EQ(Slot(&CAudioBuffer::Clear), 2);
    EXPECT_EQ(Slot(&CAudioBuffer::Resize), 3);

    EXPECT_EQ(Slot(&CMachineInfo::Release), 2);
    EXPECT_EQ(Slot(&CMachineInfo::CreateMachine), 3);

    // No destructor slot: the host's operations start at 0.
    EXPECT_EQ(Slot(&CHost::RegisterMachineInfo), 0);
    EXPECT_EQ(Slot(&CHost::GetNoteFrequency), 1);
    EXPECT_EQ(Slot(&CHost::GetBankServer), 2);
    EXPECT_EQ(Slot(&CHost::OnParameterChanged), 3);
    EXPECT_EQ(Slot(&CHost::GetSampleCounter), 4);
    EXPECT_EQ(Slot(&CHost::GetTempo), 5);
    EXPECT_EQ(Slot(&CHost::GetTicksPerBeat), 6);
    EXPECT_EQ(Slot(&CHost::GetSamplesPerTick), 7);
    EXPECT_EQ(Slot(&CHost::GetSampleRate), 8);
    EXPECT_EQ(Slot(&CHost::GetBlockSize), 9);
    EXPECT_EQ(Slot(&CHost::SupportsFeature), 10);
    EXPECT_EQ(Slot(&CHost::GetCpuFeatures), 11);

    // The destructor comes after these two, which keep slots 0 and 1.
    EXPECT_EQ(Slot(&CThread::ThreadLoop), 0);
    EXPECT_EQ(Slot(&CThread::Body), 1);
    EXPECT_EQ(Slot(&CHostMutex::Lock), -1);
}

// Field layout ------------------------------------------------------------

struct Field {
    const char* name;
    std::size_t offset;
    std::size_t size;
    std::size_t alignment;
};

// Offsets are taken on an instance: the classes are not standard-layout, so
// offsetof does not apply. Only the field's address is formed, never a
// reference to it (a packed field may be misaligned for its type).
#define FIELD(object, member)                                                                             \
    Field{#member,                                                                                        \
          static_cast<std::size_t>(reinterpret_cast<const char*>(&(object).member) -                      \
                                   reinterpret_cast<const char*>(&(object))),                             \
          sizeof((object).member), std::min<std::size_t>(alignof(decltype((object).member)), 4)}

std::size_t RoundUp(std::size_t value, std::size_t alignment)
{
    return (value + alignment - 1) / alignment * alignment;
}

/// Each field directly after the one before, on the next boundary its type
/// needs with 4-byte packing; the whole object ends with the last field.
void ExpectPackedInOrder(const std::vector<Field>& fields, std::size_t firstOffset, std::size_t objectSize)
{
    std::size_t expected = firstOffset;
    for (const Field& field : fields) {
        expected = RoundUp(expected, field.alignment);
        EXPECT_EQ(field.offset, expected) << field.name;
        expected = field.offset + field.size;
    }
    EXPECT_EQ(objectSize, RoundUp(expected, 4));
}

// Exposes the protected fields of the base chain for inspection.
class CMachineLayout : public CMachine {
public:
    CMachineLayout() : CMachine(nullptr) {}
    void Work() override {}
    void SetSampleRate(int) override {}
    void SetBlockSize(int) override {}
    bool IsInstrument() override { return false; }
    using CMutex::handle;
    using CMutex::lockCount;
    using CBankClient::bankAvailable;
    using CBankClient::bankServer;
    using CBankClient::connected;
};

class CThreadLayout : public CThread {
public:
    ~CThreadLayout() override { Stop(); }
    void Body() override {}
    using CHostMutex::handle;
    using CHostMutex::locked;
    using CThread::running;
    using CThread::thread;
};

TEST(MachineSlotOrder, MachineFieldsFollowTheBaseChainInOrder)
{
    static_assert(sizeof(CMachineLayout) == sizeof(CMachine));
    CMachineLayout m;
    ExpectPackedInOrder({FIELD(m, handle), FIELD(m, lockCount), FIELD(m, bankServer), FIELD(m, connected),
                         FIELD(m, bankAvailable), FIELD(m, ports), FIELD(m, portCount), FIELD(m, parameterCount),
                         FIELD(m, programCount), FIELD(m, currentProgram), FIELD(m, triggerCount),
                         FIELD(m, container), FIELD(m, reservedPointer), FIELD(m, host), FIELD(m, reserved),
                         FIELD(m, reserved2), FIELD(m, name), FIELD(m, programs), FIELD(m, updateDepth)},
                        sizeof(void*), sizeof(CMachine));
}

TEST(MachineSlotOrder, SharedClassFieldsAreInOrderAndPacked)
{
    CPort port(nullptr, nullptr, 0, "p");
    ExpectPackedInOrder({FIELD(port, flags), FIELD(port, audio), FIELD(port, control), FIELD(port, owner),
                         FIELD(port, name)},
                        sizeof(void*), sizeof(CPort));

    CAudioBuffer audio(1, true);
    ExpectPackedInOrder({FIELD(audio, left), FIELD(audio, right), FIELD(audio, stereo), FIELD(audio, length)},
                        sizeof(void*), sizeof(CAudioBuffer));

    CConnection connection(nullptr, nullptr, 1.0);
    ExpectPackedInOrder({FIELD(connection, source), FIELD(connection, target), FIELD(connection, volume),
                         FIELD(connection, gain)},
                        sizeof(void*), sizeof(CConnection));

    class CInfo : public CMachineInfo {
    public:
        CMachine* CreateMachine() override { return nullptr; }
    } info;
    ExpectPackedInOrder({FIELD(info, name), FIELD(info, identifier), FIELD(info, smallIcon),
                         FIELD(info, largeIcon)},
                        sizeof(void*), sizeof(CMachineInfo));

    CProgramRecord record{};
    ExpectPackedInOrder({FIELD(record, valueCount), FIELD(record, values), FIELD(record, name)}, 0,
                        sizeof(CProgramRecord));

    // The thread's own pointer to its table comes first, then the lock it
    // derives from, then its own fields.
    CThreadLayout thread;
    ExpectPackedInOrder({FIELD(thread, handle), FIELD(thread, locked), FIELD(thread, running),
                         FIELD(thread, thread)},
                        sizeof(void*), sizeof(CThread));
}

TEST(MachineInfo, DefaultsAndRelease)
{
    class CInfo : public CMachineInfo {
    public:
        CMachine* CreateMachine() override { return nullptr; }
    };
    auto* info = new CInfo;
    EXPECT_STREQ(info->name, "New Machine");
    EXPECT_STREQ(info->identifier, "");
    EXPECT_EQ(Unpacked(info->smallIcon), nullptr);
    EXPECT_EQ(Unpacked(info->largeIcon), nullptr);
    info->Release();
}

} // namespace
