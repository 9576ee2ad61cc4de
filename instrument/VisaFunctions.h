#pragma once
// The VISA functions the system calls, with the types of the VISA standard
// (32-bit Windows: ViSession, ViObject and ViFindList are 32-bit unsigned).
#include <cstdint>

#include "platform/CallConv.h"
#include "platform/LateBinding.h"

using ViStatus = int32_t;
using ViSession = uint32_t;
using ViObject = uint32_t;
using ViFindList = uint32_t;
using ViUInt32 = uint32_t;
using ViInt32 = int32_t;
using ViAttr = uint32_t;
using ViAttrState = uint32_t;
using ViUInt16 = uint16_t;
using ViByte = unsigned char;

constexpr ViStatus kViSuccess = 0;
constexpr ViStatus kViErrorTimeout = static_cast<ViStatus>(0xBFFF0015u);          // VI_ERROR_TMO
constexpr ViStatus kViErrorResourceNotFound = static_cast<ViStatus>(0xBFFF0011u); // VI_ERROR_RSRC_NFOUND
constexpr ViStatus kViErrorInvalidResourceName = static_cast<ViStatus>(0xBFFF0012u); // VI_ERROR_INV_RSRC_NAME
constexpr ViStatus kViErrorInvalidObject = static_cast<ViStatus>(0xBFFF000Eu);    // VI_ERROR_INV_OBJECT
constexpr ViStatus kViErrorSystem = static_cast<ViStatus>(0xBFFF0000u);           // VI_ERROR_SYSTEM_ERROR
constexpr ViStatus kViErrorInvalidExpression = static_cast<ViStatus>(0xBFFF0010u); // VI_ERROR_INV_EXPR
constexpr ViStatus kViErrorNotSupportedAttribute = static_cast<ViStatus>(0xBFFF001Du); // VI_ERROR_NSUP_ATTR
constexpr ViStatus kViErrorResourceBusy = static_cast<ViStatus>(0xBFFF0072u);     // VI_ERROR_RSRC_BUSY
constexpr ViStatus kViErrorIo = static_cast<ViStatus>(0xBFFF003Eu);               // VI_ERROR_IO
constexpr ViStatus kViErrorNotSupportedFormat = static_cast<ViStatus>(0xBFFF003Fu); // VI_ERROR_NSUP_FMT
constexpr ViAttr kViAttrTimeoutValue = 0x3FFF001Au;                               // VI_ATTR_TMO_VALUE
constexpr ViStatus kViSuccessTermChar = static_cast<ViStatus>(0x3FFF0005u);       // VI_SUCCESS_TERM_CHAR
constexpr ViStatus kViSuccessMaxCount = static_cast<ViStatus>(0x3FFF0006u);       // VI_SUCCESS_MAX_CNT
constexpr ViAttr kViAttrTermChar = 0x3FFF0018u;                                   // VI_ATTR_TERMCHAR
constexpr ViAttr kViAttrTermCharEnabled = 0x3FFF0038u;                            // VI_ATTR_TERMCHAR_EN

// X(number, name, calling convention, parameter list). Every function returns
// ViStatus. Listed in the order in which the GPIB scan looks them up; the number
// is the order of its presence check, 0 for one that is looked up but not
// required (viScanf reads what an answer longer than its first read left; the
// byte-wise calls after it serve the instrument I/O panel, which checks them itself).
#define BS_VISA_FUNCTIONS(X)                                                                  \
  X(1, viOpenDefaultRM, BS_STDCALL, (ViSession * resourceManager))                            \
  X(2, viOpen, BS_STDCALL,                                                                    \
    (ViSession resourceManager, const char* description, ViUInt32 accessMode,                 \
     ViUInt32 openTimeout, ViSession* session))                                               \
  /* Variadic, so the C calling convention. */                                                \
  X(3, viQueryf, BS_CDECL, (ViSession session, const char* writeFormat, const char* readFormat, ...)) \
  X(4, viClose, BS_STDCALL, (ViObject object))                                                \
  X(5, viFindRsrc, BS_STDCALL,                                                                \
    (ViSession resourceManager, const char* expression, ViFindList* findList, ViUInt32* count, \
     char* description))                                                                      \
  X(6, viFindNext, BS_STDCALL, (ViFindList findList, char* description))                      \
  X(7, viSetAttribute, BS_STDCALL, (ViObject object, ViAttr attribute, ViAttrState value))   \
  X(0, viScanf, BS_CDECL, (ViSession session, const char* readFormat, ...))                  \
  X(0, viWrite, BS_STDCALL, (ViSession session, const ViByte* buffer, ViUInt32 count, ViUInt32* written)) \
  X(0, viRead, BS_STDCALL, (ViSession session, ViByte* buffer, ViUInt32 count, ViUInt32* read)) \
  X(0, viClear, BS_STDCALL, (ViSession session))                                              \
  X(0, viReadSTB, BS_STDCALL, (ViSession session, ViUInt16* statusByte))

// Function pointer types: ViFn_viOpen and so on.
#define BS_VISA_TYPEDEF(number, name, convention, params) using ViFn_##name = ViStatus(convention*) params;
BS_VISA_FUNCTIONS(BS_VISA_TYPEDEF)
#undef BS_VISA_TYPEDEF

// One member of a late-bound table per function (platform/LateBinding.h).
#define BS_VISA_TABLE_FIELD(number, name, convention, params) CLateBound<ViFn_##name> name;
BS_LATE_BOUND_TABLE(ViTable, BS_VISA_FUNCTIONS, BS_VISA_TABLE_FIELD)
