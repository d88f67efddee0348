#pragma once
// The descriptor of "KV RedoRuviz", the oversampling-filter machine. Its
// machines get the descriptor, where the editor's pictures (120, 103, 102)
// will live.

#include "stockpack/common/StockMachineInfo.h"
#include "stockpack/redoruviz/RedoRuvizFilter.h"

using CRedoRuvizFilterInfo = CStockMachineInfo<CRedoRuvizFilter, "KV RedoRuviz", "CorvPlug::KV RedoRuviz">;
