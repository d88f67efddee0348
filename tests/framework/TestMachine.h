#pragma once
// Machines for the framework tests.
//
// CBareMachine implements only what CMachine leaves abstract, so every other
// operation is the base class's default. CTestMachine keeps real parameter
// values, records each SetParameter together with the update depth and the
// selected program at that moment, and can be given ports and programs the
// way a plug-in's constructor builds them.

#include <cstdio>
#include <initializer_list>
#include <vector>

#include "framework/Machine.h"
#include "framework/Port.h"
#include "framework/ProgramRecord.h"
#include "tests/framework/TestHost.h"

class CBareMachine : public CMachine {
public:
    explicit CBareMachine(CHost* host) : CMachine(host) {}
    ~CBareMachine() override
    {
        if (destroyed != nullptr)
            *destroyed = true;
    }

    void Work() override {}
    void SetSampleRate(int) override {}
    void SetBlockSize(int) override {}
    bool IsInstrument() override { return false; }

    bool* destroyed = nullptr;
};

class CTestMachine : public CMachine {
public:
    struct SetCall {
        int index;
        double value;
        int updateDepth;
        int currentProgram;
    };

    CTestMachine(CTestHost* host, int parameters) : CMachine(host), testHost(host), values(parameters, 0.0)
    {
        parameterCount = parameters;
    }

    ~CTestMachine() override
    {
        for (int i = 0; i < portCount; ++i)
            delete ports[i];
        delete[] ports;
        for (CProgramRecord& record : records)
            FreeProgramRecord(record);
    }

    void Work() override {}
    void SetSampleRate(int) override {}
    void SetBlockSize(int) override {}
    bool IsInstrument() override { return true; }

    double GetParameter(int index) override
    {
        return index >= 0 && index < parameterCount ? values[static_cast<std::size_t>(index)] : 0.0;
    }

    void SetParameter(int index, double value) override
    {
        sets.push_back({index, value, updateDepth, currentProgram});
        if (testHost != nullptr)
            testHost->RecordMachineSet(this, index, value);
        if (index >= 0 && index < parameterCount)
            values[static_cast<std::size_t>(index)] = value;
        CMachine::SetParameter(index, value);
    }

    /// The port array gets its final size first and is filled in order, as
    /// a plug-in constructor does it.
    void MakePorts(std::initializer_list<int> flags)
    {
        ports = new CPort*[flags.size()];
        for (int kind : flags)
            ports[portCount++] = new CPort(host, this, kind, "port");
    }

    /// One program per list; each holds the given values and is named after
    /// its number. The base class frees the array, this class the records.
    void MakePrograms(std::initializer_list<std::vector<double>> programValues)
    {
        records.resize(programValues.size());
        programs = new CProgramRecord*[programValues.size()];
        int number = 0;
        for (const std::vector<double>& programValue : programValues) {
            CProgramRecord& record = records[static_cast<std::size_t>(number)];
            record.valueCount = static_cast<int>(programValue.size());
            record.values = new double[programValue.size()];
            for (std::size_t i = 0; i < programValue.size(); ++i)
                record.values[i] = programValue[i];
            std::snprintf(record.name, sizeof record.name, "Preset %d", number);
            programs[number] = &record;
            ++number;
        }
        programCount = number;
    }

    CTestHost* testHost;
    std::vector<double> values;
    std::vector<SetCall> sets;
    std::vector<CProgramRecord> records;
};
