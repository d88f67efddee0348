#pragma once
// The descriptor of "KV Mixer", the eight-track mixer with two aux loops.

#include "stockpack/common/StockMachineInfo.h"
#include "stockpack/mixer/Mixer.h"

using CMixerInfo = CStockMachineInfo<CMixer, "KV Mixer", "CorvPlug::KV Mixer-Stereo-8-2">;
