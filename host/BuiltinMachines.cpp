#include "host/BuiltinMachines.h"

#include "host/MachineRegistry.h"
#include "host/Master.h"

void RegisterBuiltinMachines(CCorvHost& host, CMachineRegistry& registry)
{
    registry.Register(new CMasterInfo(&host));
    // Each built-in type joins here at its place in the order above.
}
