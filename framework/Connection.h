#pragma once
// CConnection: one cable from an output connector to an input connector,
// owned by the input side. The engine glides gain towards volume sample by
// sample while it mixes.

#include "framework/Packing.h"

class CConnector;

CORVANE_PACK_BEGIN

class CConnection {
public:
    CConnection(CConnector* source, CConnector* target, double volume)
        : source(source), target(target), volume(volume), gain(volume)
    {
    }
    virtual ~CConnection() = default;

    CConnector* source;
    CConnector* target;
    double volume;   // target gain, written by the user-interface thread
    double gain;     // applied gain, written by the processing threads
};

CORVANE_PACK_END
