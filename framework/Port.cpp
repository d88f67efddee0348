#include "framework/Port.h"

#include <cstdlib>
#include <cstring>

#include "framework/AudioBuffer.h"
#include "framework/ControlBuffer.h"
#include "framework/Host.h"

CPort::CPort(CHost* host, CMachine* owner, std::int32_t flags, const char* name)
    : flags(flags), audio(nullptr), control(nullptr), owner(owner), name(strdup(name != nullptr ? name : ""))
{
    if (flags & kPortAudio)
        audio = new CAudioBuffer(host != nullptr ? host->GetBlockSize() : 0, (flags & kPortStereo) != 0);
    if (flags & kPortControl)
        control = new CControlBuffer;
}

CPort::~CPort()
{
    delete audio;
    delete control;
    std::free(name);
}
