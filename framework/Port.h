#pragma once
// CPort: one input or output of a machine, carrying audio, control events or
// both, as its flag bits say.

#include <cstdint>

#include "framework/Packing.h"

class CAudioBuffer;
class CControlBuffer;
class CHost;
class CMachine;

enum PortFlags : std::int32_t {
    kPortAudio = 0x1,
    kPortControl = 0x2,
    kPortInput = 0x10,
    kPortOutput = 0x20,
    kPortAuxiliary = 0x40,   // send or return, mixed in a second stage after Work
    kPortStereo = 0x100,
};

CORVANE_PACK_BEGIN

class CPort {
public:
    /// An audio port gets a buffer of the host's block size (stereo with
    /// kPortStereo); a control port an empty event buffer.
    CPort(CHost* host, CMachine* owner, std::int32_t flags, const char* name);
    virtual ~CPort();
    CPort(const CPort&) = delete;
    CPort& operator=(const CPort&) = delete;

    bool Is(std::int32_t bits) const { return (flags & bits) == bits; }

    std::int32_t flags;
    CAudioBuffer* audio;
    CControlBuffer* control;
    CMachine* owner;
    char* name;
};

CORVANE_PACK_END
