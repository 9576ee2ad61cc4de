#pragma once
// Exports of the photonic library, called with the standard library calling
// convention; the system does not use their return values.
#include <cstdint>

#include "platform/CallConv.h"
#include "platform/LateBinding.h"

constexpr int32_t kZebVersionStringSize = 10000;  // the buffer ZebVersionString fills

// The library as the trace names it; the system does not judge its results.
inline constexpr CTraceLibrary kZebTraceLibrary{"zeb_32.dll", TraceStatusKind::Plain};

// X(number, name, parameter list, roles); every function returns int32_t. The
// photonic probe calls ZebVersionString, ZebVersion, ZebInit and ZebClose in
// this order. The roles say what each parameter is to the trace.
#define BS_ZEB_FUNCTIONS(X)                                                                 \
  X(1, ZebVersionString, (char* buffer), (ArgOutText(kZebVersionStringSize)))               \
  X(2, ZebVersion, (int16_t * major, int16_t * minor, int16_t * build), (ArgOut, ArgOut, ArgOut)) \
  X(3, ZebInit, (int32_t a, int32_t b), (ArgIn, ArgIn))                                      \
  X(4, ZebClose, (), ())

#define BS_ZEB_TYPEDEF(number, name, params, roles) using ZebFn_##name = int32_t(BS_STDCALL*) params;
BS_ZEB_FUNCTIONS(BS_ZEB_TYPEDEF)
#undef BS_ZEB_TYPEDEF

// How the trace shows each call: ZebTraced_ZebInit and so on.
#define BS_ZEB_TRACED(number, name, params, roles) \
  BS_TRACED_FUNCTION(ZebTraced_##name, kZebTraceLibrary, name, params, roles)
BS_ZEB_FUNCTIONS(BS_ZEB_TRACED)
#undef BS_ZEB_TRACED

// One member of a late-bound table per function (platform/LateBinding.h).
#define BS_ZEB_TABLE_FIELD(number, name, ...) CLateBound<ZebFn_##name, ZebTraced_##name> name;
BS_LATE_BOUND_TABLE(ZebTable, BS_ZEB_FUNCTIONS, BS_ZEB_TABLE_FIELD)
