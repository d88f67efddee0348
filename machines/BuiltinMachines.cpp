#include "machines/BuiltinMachines.h"

#include "host/CorvHost.h"
#include "host/MachineRegistry.h"
#include "host/Master.h"
#include "machines/Arpeggiator.h"
#include "machines/ControlChangeMapper.h"
#include "machines/HDTrackMachine.h"
#include "machines/MIDIInput.h"
#include "machines/MIDIOutput.h"

void RegisterBuiltinMachines(CCorvHost& host, CMachineRegistry& registry, const BuiltinMachineServices& services)
{
    registry.Register(new CMasterInfo(&host));
    registry.Register(new CArpeggiatorInfo(&host));
    registry.Register(new CControlChangeMapperInfo(&host));
    registry.Register(new CHDTrackMachineInfoMono(&host, services.recorder));
    registry.Register(new CHDTrackMachineInfoStereo(&host, services.recorder));
    registry.Register(new CMIDIInputInfo(&host, services.midiDevices));
    registry.Register(new CMIDIOutputInfo(&host, services.midiDevices));
}
