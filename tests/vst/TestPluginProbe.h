#pragma once
// What a test plug-in saw, read by the tests through the plug-in file's
// exported CorvaneTestProbe().

#include <cstdint>

constexpr int kProbeOpcodes = 64;
constexpr int kProbeEvents = 64;

struct TestPluginProbe {
    struct Event {
        std::int32_t type;
        std::int32_t byteSize;
        std::int32_t deltaFrames;
        unsigned char data[3];
    };

    std::int32_t opcodes[kProbeOpcodes];
    int opcodeCount;
    std::intptr_t entryVersion;
    std::intptr_t entrySampleRate;
    std::intptr_t entryBlockSize;
    char entryVendor[256];
    float sampleRate;
    int blockSize;
    const char* directory;
    int processEventsCalls;
    Event events[kProbeEvents];
    int eventCount;
    int processCalls;
    std::int32_t timeFlags;
    double tempo;
    int timeSigNumerator;
    int timeSigDenominator;
    int getChunkIndex;
    int setChunkIndex;
    int setChunkSize;
    unsigned char setChunk[64];
    int idleCalls;
};

using TestProbeFunction = TestPluginProbe* (*)();
