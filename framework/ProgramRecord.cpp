#include "framework/ProgramRecord.h"

#include <cstdio>

#include "framework/Machine.h"

void FillProgramRecord(CMachine& machine, CProgramRecord& record, int number)
{
    FreeProgramRecord(record);
    const int count = machine.parameterCount > 0 ? machine.parameterCount : 0;
    record.valueCount = count;
    record.values = count > 0 ? new double[static_cast<std::size_t>(count)] : nullptr;
    for (int i = 0; i < count; ++i)
        record.values[i] = machine.GetParameter(i);
    std::snprintf(record.name, sizeof record.name, "Program %03i", number);
}

void FreeProgramRecord(CProgramRecord& record)
{
    delete[] record.values;
    record.values = nullptr;
    record.valueCount = 0;
    record.name[0] = '\0';
}
