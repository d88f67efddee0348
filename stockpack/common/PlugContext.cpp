#include "stockpack/common/PlugContext.h"

#include <memory>

#include "stockpack/common/WaveTables.h"

namespace {

// Owned here so that unloading the library frees them; machines never
// outlive the library, whose code they run.
std::unique_ptr<PlugContext> context;
std::unique_ptr<WaveTables> tables;
ModuleHandle moduleHandle = nullptr;

} // namespace

PlugContext* GetPlugContext()
{
    return context.get();
}

PlugContext* CreatePlugContext(CHost* host, std::int32_t cpuFeatures)
{
    if (tables == nullptr)
        tables = std::make_unique<WaveTables>();
    if (context == nullptr)
        context = std::make_unique<PlugContext>();
    context->host = host;
    context->cpuFeatures = cpuFeatures;
    context->waveTables = tables.get();
    return context.get();
}

const WaveTables& SharedWaveTables()
{
    if (context == nullptr || context->waveTables == nullptr)
        CreatePlugContext(nullptr, 0);
    return *context->waveTables;
}

ModuleHandle GetModuleHandle()
{
    return moduleHandle;
}

void SetModuleHandle(ModuleHandle module)
{
    moduleHandle = module;
}
