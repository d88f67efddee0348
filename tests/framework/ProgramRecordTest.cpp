// Program records filled from a machine's current values.

#include <gtest/gtest.h>

#include <string>

#include "framework/ProgramRecord.h"
#include "tests/framework/TestHost.h"
#include "tests/framework/TestMachine.h"
#include "tests/framework/Unpacked.h"

namespace {

TEST(ProgramRecord, FillTakesTheCurrentValuesAndANumberedName)
{
    CTestHost host;
    CTestMachine machine(&host, 3);
    machine.values = {0.1, 0.2, 0.3};
    CProgramRecord record{};
    FillProgramRecord(machine, record, 7);
    EXPECT_STREQ(record.name, "Program 007");
    ASSERT_EQ(record.valueCount, 3);
    EXPECT_EQ(record.values[0], 0.1);
    EXPECT_EQ(record.values[2], 0.3);

    // Filling again replaces the values it held (the leak checker would
    // report the old array otherwise) and follows the machine.
    machine.values = {0.9, 0.8, 0.7};
    FillProgramRecord(machine, record, 1234);
    EXPECT_STREQ(record.name, "Program 1234");
    EXPECT_EQ(record.values[0], 0.9);

    FreeProgramRecord(record);
    EXPECT_EQ(Unpacked(record.values), nullptr);
    EXPECT_EQ(record.valueCount, 0);
    EXPECT_STREQ(record.name, "");
}

TEST(ProgramRecord, MachineWithoutParameters)
{
    CTestHost host;
    CBareMachine machine(&host);
    CProgramRecord record{};
    FillProgramRecord(machine, record, 0);
    EXPECT_EQ(record.valueCount, 0);
    EXPECT_EQ(Unpacked(record.values), nullptr);
    EXPECT_STREQ(record.name, "Program 000");
}

TEST(ProgramRecord, AFilledProgramRestoresTheValuesWhenSelected)
{
    CTestHost host;
    CTestMachine machine(&host, 2);
    machine.MakePrograms({{0.0, 0.0}, {0.0, 0.0}});
    machine.values = {0.4, 0.6};
    FillProgramRecord(machine, *machine.programs[1], 2);
    machine.values = {0.0, 0.0};
    machine.SetProgram(1);
    EXPECT_EQ(machine.values, (std::vector<double>{0.4, 0.6}));
    char name[CProgramRecord::kNameLength];
    machine.GetProgramName(name);
    EXPECT_STREQ(name, "Program 002");
}

} // namespace
