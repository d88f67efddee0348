#pragma once
// A program: a named set of parameter values of one machine.

#include <cstdint>

#include "framework/Packing.h"

class CMachine;

CORVANE_PACK_BEGIN

struct CProgramRecord {
    static constexpr int kNameLength = 64;   // including the terminating zero

    std::int32_t valueCount;
    double* values;                          // valueCount doubles, new[]-allocated
    char name[kNameLength];
};

CORVANE_PACK_END

/// Fills record with the machine's current values (GetParameter of each
/// index) and names it "Program %03i" with number. Frees values it held.
void FillProgramRecord(CMachine& machine, CProgramRecord& record, int number);
/// Frees the values and empties the record.
void FreeProgramRecord(CProgramRecord& record);
