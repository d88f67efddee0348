#include "machines/MIDIDeviceMachine.h"

#include <cstdlib>

#include "framework/Error.h"
#include "framework/Host.h"
#include "framework/Port.h"
#include "machines/MIDIDevices.h"
#include "machines/MIDIInput.h"
#include "machines/MIDIInputDevice.h"
#include "machines/MIDIOutput.h"
#include "machines/MIDIOutputDevice.h"
#include "framework/LittleEndian.h"
#include "platform/Clock.h"

template <class Machine, class DeviceType>
CMIDIDeviceMachine<Machine, DeviceType>::CMIDIDeviceMachine(CHost* host, CMIDIDevices* devices,
                                                            std::int32_t portFlags, const char* portName,
                                                            int lowestChannel)
    : CMachine(host), channel(lowestChannel), performanceFrequency(platform::kPerformanceFrequency),
      sampleRate(host != nullptr ? host->GetSampleRate() : 44100),
      blockSize(host != nullptr ? host->GetBlockSize() : 0), devices(devices), lowestChannel(lowestChannel)
{
    ports = new CPort*[1];
    ports[0] = new CPort(host, this, portFlags, portName);
    portCount = 1;
}

template <class Machine, class DeviceType>
CMIDIDeviceMachine<Machine, DeviceType>::~CMIDIDeviceMachine()
{
    for (int i = 0; i < portCount; ++i)
        delete ports[i];
    delete[] ports;
}

template <class Machine, class DeviceType>
void CMIDIDeviceMachine<Machine, DeviceType>::LetGoOfDevice()
{
    try {
        Self().Detach();
    } catch (const CError&) {
        // Going away regardless; the device has forgotten this machine.
    }
}

template <class Machine, class DeviceType>
void CMIDIDeviceMachine<Machine, DeviceType>::SelectDevice(int position)
{
    Self().Detach();
    Self().Attach(position);
}

template <class Machine, class DeviceType>
int CMIDIDeviceMachine<Machine, DeviceType>::DevicePosition() const
{
    return devices != nullptr ? devices->PositionOf(Device()) : -1;
}

template <class Machine, class DeviceType>
void CMIDIDeviceMachine<Machine, DeviceType>::SetChannel(int newChannel)
{
    if (newChannel < lowestChannel || newChannel > kHighestChannel)
        return;
    channel.store(newChannel, std::memory_order_relaxed);
}

template <class Machine, class DeviceType>
void CMIDIDeviceMachine<Machine, DeviceType>::LoadState(const void* data, int length, bool)
{
    if (data == nullptr || length != kStateBytes)
        return;
    const auto* bytes = static_cast<const unsigned char*>(data);
    deviceError.clear();
    try {
        SelectDevice(ReadLittleEndianInt32(bytes));
    } catch (const CError& error) {
        deviceError = error.what();
    }
    SetChannel(ReadLittleEndianInt32(bytes + 4));
}

template <class Machine, class DeviceType>
void CMIDIDeviceMachine<Machine, DeviceType>::SaveState(void** data, int* length, bool* hostFormat)
{
    auto* bytes = static_cast<unsigned char*>(std::malloc(kStateBytes));
    if (bytes != nullptr) {
        WriteLittleEndian32(bytes, DevicePosition());
        WriteLittleEndian32(bytes + 4, GetChannel());
    }
    *data = bytes;
    *length = bytes != nullptr ? kStateBytes : 0;
    *hostFormat = false;
}

// The machines built on it.
template class CMIDIDeviceMachine<CMIDIInput, MIDIInputDevice>;
template class CMIDIDeviceMachine<CMIDIOutput, MIDIOutputDevice>;
