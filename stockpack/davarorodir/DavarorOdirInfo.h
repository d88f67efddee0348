#pragma once
// The descriptor of "KV DavarorOdir", the stereo room reverb. Its editor's
// pictures (104, 106-110) are loaded at the type's first machine.

#include "stockpack/common/StockMachineInfo.h"
#include "stockpack/davarorodir/DavarorOdir.h"

using CDavarorOdirInfo = CStockMachineInfo<CDavarorOdir, "KV DavarorOdir", "CorvPlug::KV DavarorOdir",
                                           SkinLoading::OnFirstCreation, 104, 106, 107, 108, 109, 110>;
