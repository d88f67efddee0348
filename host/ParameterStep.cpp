#include "host/ParameterStep.h"

#include "framework/Machine.h"
#include "framework/ScopedLock.h"

CInPlaceStep ParameterStep(CMachine* machine, int index, double before, double after)
{
    const auto set = [machine, index](double value) {
        CScopedLock<CMachine> machineLock(*machine);
        machine->SetParameterNotify(index, value);
    };
    // Keyed by machine and index, so a drag's moves join into one step.
    return {[=] { set(before); }, [=] { set(after); }, machine, index};
}
