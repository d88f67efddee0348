#pragma once
// The descriptor of "KV VUziD8" (CDrumKit). The icons and the editor's two
// skin pictures come with the editor.

#include "stockpack/common/StockMachineInfo.h"
#include "stockpack/drumkit/DrumKit.h"

using CDrumKitInfo = CStockMachineInfo<CDrumKit, "KV VUziD8", "CorvPlug::KV VUziD8">;
