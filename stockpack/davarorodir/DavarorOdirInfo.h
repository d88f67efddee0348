#pragma once
// The descriptor of "KV DavarorOdir", the stereo room reverb.

#include "stockpack/common/StockMachineInfo.h"
#include "stockpack/davarorodir/DavarorOdir.h"

using CDavarorOdirInfo = CStockMachineInfo<CDavarorOdir, "KV DavarorOdir", "CorvPlug::KV DavarorOdir">;
