#pragma once
// CBankTestHost: a host for bank tests. It owns a real CHostBankServer and
// offers it as feature 0; a test can withdraw the feature or the server to
// build clients that must find no service.

#include "framework/Host.h"
#include "samples/HostBankServer.h"

class CBankTestHost final : public CHost {
public:
    explicit CBankTestHost(bool offersFeature = true, bool handsOutServer = true)
        : offersFeature(offersFeature), handsOutServer(handsOutServer)
    {
    }

    CHostBankServer& Server() { return server; }
    int BankServerRequests() const { return bankServerRequests; }

    int RegisterMachineInfo(CMachineInfo*) override { return 0; }
    int GetNoteFrequency(unsigned, double* out) override
    {
        *out = 0.0;
        return 2;
    }
    int GetBankServer(CBankServer** out) override
    {
        ++bankServerRequests;
        if (!handsOutServer)
            return 1;
        *out = &server;
        return 0;
    }
    void OnParameterChanged(CMachine*, int, double) override {}
    int GetSampleCounter() override { return 0; }
    double GetTempo() override { return 120.0; }
    double GetTicksPerBeat() override { return 4.0; }
    int GetSamplesPerTick() override { return 5512; }
    int GetSampleRate() override { return 44100; }
    int GetBlockSize() override { return 256; }
    bool SupportsFeature(int feature) override { return feature == 0 && offersFeature; }
    int GetCpuFeatures() override { return 0; }

private:
    CHostBankServer server;
    bool offersFeature;
    bool handsOutServer;
    int bankServerRequests = 0;
};
