#pragma once
// The descriptor of "KV Zazud" (CKick).

#include "stockpack/common/StockMachineInfo.h"
#include "stockpack/zazud/Kick.h"

using CKickInfo = CStockMachineInfo<CKick, "KV Zazud", "CorvPlug::KV Zazud">;
