#pragma once
// The descriptor of "KV DovoDorez", the four-tap stereo echo.

#include "stockpack/common/StockMachineInfo.h"
#include "stockpack/dovodorez/Echo.h"

using CEchoInfo = CStockMachineInfo<CEcho, "KV DovoDorez", "CorvPlug::KV DovoDorez">;
