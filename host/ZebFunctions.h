#pragma once
// Exports of the photonic library, called with the standard library calling
// convention; the system does not use their return values.
#include <cstdint>

#include "platform/CallConv.h"

using ZebFn_ZebVersionString = int32_t(BS_STDCALL*)(char* buffer);  // buffer of 10000 bytes
using ZebFn_ZebVersion = int32_t(BS_STDCALL*)(int16_t* major, int16_t* minor, int16_t* build);
using ZebFn_ZebInit = int32_t(BS_STDCALL*)(int32_t a, int32_t b);
using ZebFn_ZebClose = int32_t(BS_STDCALL*)();
