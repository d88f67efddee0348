#pragma once
// Structures that host and plug-in libraries share are packed to 4-byte
// boundaries. Include this header, then wrap the shared declarations in
// CORVANE_PACK_BEGIN / CORVANE_PACK_END.

#define CORVANE_PACK_BEGIN _Pragma("pack(push, 4)")
#define CORVANE_PACK_END _Pragma("pack(pop)")
