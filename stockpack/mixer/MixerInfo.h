#pragma once
// The descriptor of "KV Mixer", the eight-track mixer with two aux loops.
// Its editor's pictures (137-147) are loaded at the type's first machine.

#include "stockpack/common/StockMachineInfo.h"
#include "stockpack/mixer/Mixer.h"

using CMixerInfo = CStockMachineInfo<CMixer, "KV Mixer", "CorvPlug::KV Mixer-Stereo-8-2",
                                     SkinLoading::OnFirstCreation, 137, 138, 139, 140, 141, 142, 143, 144, 145,
                                     146, 147>;
