#pragma once
// The descriptor of "KV RedoRuviz", the oversampling-filter machine. Its
// machines get the descriptor, whose editor pictures (background 120, knob
// 103, factor display 102) are loaded when it is built.

#include "stockpack/common/StockMachineInfo.h"
#include "stockpack/redoruviz/RedoRuvizFilter.h"

using CRedoRuvizFilterInfo = CStockMachineInfo<CRedoRuvizFilter, "KV RedoRuviz", "CorvPlug::KV RedoRuviz",
                                               SkinLoading::WhenBuilt, 120, 103, 102>;
