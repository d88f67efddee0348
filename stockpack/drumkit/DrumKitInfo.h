#pragma once
// The descriptor of "KV VUziD8" (CDrumKit). Its editor's two skin pictures
// (background 130, knob 131) are loaded when the descriptor is built.

#include "stockpack/common/StockMachineInfo.h"
#include "stockpack/drumkit/DrumKit.h"

using CDrumKitInfo =
    CStockMachineInfo<CDrumKit, "KV VUziD8", "CorvPlug::KV VUziD8", SkinLoading::WhenBuilt, 130, 131>;
