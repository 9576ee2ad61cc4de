#pragma once
// Exports of the photonic library, called with the standard library calling
// convention; the system does not use their return values.
#include <cstdint>

#include "platform/CallConv.h"
#include "platform/LateBinding.h"

// X(number, name, parameter list); every function returns int32_t. The photonic
// probe calls ZebVersionString, ZebVersion, ZebInit and ZebClose in this order.
#define BS_ZEB_FUNCTIONS(X)                                                    \
  X(1, ZebVersionString, (char* buffer)) /* buffer of 10000 bytes */           \
  X(2, ZebVersion, (int16_t * major, int16_t * minor, int16_t * build))         \
  X(3, ZebInit, (int32_t a, int32_t b))                                         \
  X(4, ZebClose, ())

#define BS_ZEB_TYPEDEF(number, name, params) using ZebFn_##name = int32_t(BS_STDCALL*) params;
BS_ZEB_FUNCTIONS(BS_ZEB_TYPEDEF)
#undef BS_ZEB_TYPEDEF

// One member of a late-bound table per function (platform/LateBinding.h).
#define BS_ZEB_TABLE_FIELD(number, name, params) CLateBound<ZebFn_##name> name;
BS_LATE_BOUND_TABLE(ZebTable, BS_ZEB_FUNCTIONS, BS_ZEB_TABLE_FIELD)
