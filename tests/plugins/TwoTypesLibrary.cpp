// A machine plug-in library as the loader meets one: a single C entry point
// that registers two machine types through the host it is given. The tests
// copy it into scratch "PlugIns" folders and load it through the real scan.
//
// It also exports what it was called with, so that the tests can check the
// module handle and host that reached it.

#include <type_traits>

#include "framework/Host.h"
#include "framework/Machine.h"
#include "framework/MachineInfo.h"
#include "framework/PlugInit.h"

namespace {

ModuleHandle givenModule = nullptr;
CHost* givenHost = nullptr;
int initCalls = 0;

class CTestMachine : public CMachine {
public:
    CTestMachine(CHost* host, bool instrument) : CMachine(host), instrument(instrument) {}
    void Work() override {}
    void SetSampleRate(int) override {}
    void SetBlockSize(int) override {}
    bool IsInstrument() override { return instrument; }

private:
    bool instrument;
};

class CTestInfo : public CMachineInfo {
public:
    CTestInfo(CHost* host, const char* typeName, const char* typeIdentifier, bool instrument)
        : host(host), instrument(instrument)
    {
        name = typeName;
        identifier = typeIdentifier;
    }
    CMachine* CreateMachine() override { return new CTestMachine(host, instrument); }

private:
    CHost* host;
    bool instrument;
};

} // namespace

extern "C" {

__attribute__((visibility("default"))) void CorvPlugInit(ModuleHandle module, CHost* host)
{
    givenModule = module;
    givenHost = host;
    ++initCalls;
    host->RegisterMachineInfo(new CTestInfo(host, "Test Tone", "CorvPlug::Test Tone", true));
    host->RegisterMachineInfo(new CTestInfo(host, "Test Filter", "CorvPlug::Test Filter", false));
}

__attribute__((visibility("default"))) ModuleHandle TestLibraryModule()
{
    return givenModule;
}

__attribute__((visibility("default"))) CHost* TestLibraryHost()
{
    return givenHost;
}

__attribute__((visibility("default"))) int TestLibraryInitCalls()
{
    return initCalls;
}

} // extern "C"

// The entry point has exactly the type the host calls it through.
static_assert(std::is_same_v<decltype(&CorvPlugInit), CorvPlugInitFunction>);
