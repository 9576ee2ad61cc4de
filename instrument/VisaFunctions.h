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

// What a VISA library says of itself through its default resource manager.
constexpr ViAttr kViAttrResourceMakerName = 0xBFFF0174u;       // VI_ATTR_RSRC_MANF_NAME, text
constexpr ViAttr kViAttrResourceMakerId = 0x3FFF0175u;         // VI_ATTR_RSRC_MANF_ID, 16 bits
constexpr ViAttr kViAttrResourceImplVersion = 0x3FFF0003u;     // VI_ATTR_RSRC_IMPL_VERSION, ViVersion
constexpr ViAttr kViAttrResourceSpecVersion = 0x3FFF0170u;     // VI_ATTR_RSRC_SPEC_VERSION, ViVersion

constexpr int32_t kViFindBufferSize = 256;  // VI_FIND_BUFLEN: a resource description

// The library as the trace names it; its statuses are VISA's.
inline constexpr CTraceLibrary kVisaTraceLibrary{"visa32.dll", TraceStatusKind::Visa};

// X(number, name, calling convention, parameter list, roles). Every function
// returns ViStatus. Listed in the order in which the GPIB scan looks them up; the
// number is the order of its presence check, 0 for one that is looked up but not
// required (viScanf reads what an answer longer than its first read left;
// viGetAttribute asks a library what it is; the byte-wise calls after it serve the
// instrument I/O panel, which checks them itself). The
// roles say what each parameter is to the trace (platform/TraceFormat.h).
#define BS_VISA_FUNCTIONS(X)                                                                  \
  X(1, viOpenDefaultRM, BS_STDCALL, (ViSession * resourceManager), (ArgOutHandle))            \
  X(2, viOpen, BS_STDCALL,                                                                    \
    (ViSession resourceManager, const char* description, ViUInt32 accessMode,                 \
     ViUInt32 openTimeout, ViSession* session),                                               \
    (ArgHandle, ArgIn, ArgIn, ArgIn, ArgOutHandle))                                           \
  /* Variadic, so the C calling convention. */                                                \
  X(3, viQueryf, BS_CDECL, (ViSession session, const char* writeFormat, const char* readFormat, ...), \
    (ArgHandle, ArgWriteFormat, ArgReadFormat, ArgFormatted))                                 \
  X(4, viClose, BS_STDCALL, (ViObject object), (ArgHandle))                                   \
  X(5, viFindRsrc, BS_STDCALL,                                                                \
    (ViSession resourceManager, const char* expression, ViFindList* findList, ViUInt32* count, \
     char* description),                                                                      \
    (ArgHandle, ArgIn, ArgOutHandle, ArgOut, ArgOutText(kViFindBufferSize)))                 \
  X(6, viFindNext, BS_STDCALL, (ViFindList findList, char* description),                      \
    (ArgHandle, ArgOutText(kViFindBufferSize)))                                               \
  X(7, viSetAttribute, BS_STDCALL, (ViObject object, ViAttr attribute, ViAttrState value),   \
    (ArgHandle, ArgAttribute, ArgIn))                                                         \
  X(0, viScanf, BS_CDECL, (ViSession session, const char* readFormat, ...),                   \
    (ArgHandle, ArgReadFormat, ArgFormatted))                                               \
  X(0, viWrite, BS_STDCALL, (ViSession session, const ViByte* buffer, ViUInt32 count, ViUInt32* written), \
    (ArgHandle, ArgInBytes(2), ArgIn, ArgOut))                                                \
  X(0, viRead, BS_STDCALL, (ViSession session, ViByte* buffer, ViUInt32 count, ViUInt32* read), \
    (ArgHandle, ArgOutBytes(3), ArgIn, ArgOut))                                               \
  X(0, viClear, BS_STDCALL, (ViSession session), (ArgHandle))                                 \
  X(0, viReadSTB, BS_STDCALL, (ViSession session, ViUInt16* statusByte), (ArgHandle, ArgOut))  \
  X(0, viGetAttribute, BS_STDCALL, (ViObject object, ViAttr attribute, void* value),          \
    (ArgHandle, ArgAttribute, ArgOut))

// Function pointer types: ViFn_viOpen and so on.
#define BS_VISA_TYPEDEF(number, name, convention, params, roles) using ViFn_##name = ViStatus(convention*) params;
BS_VISA_FUNCTIONS(BS_VISA_TYPEDEF)
#undef BS_VISA_TYPEDEF

// How the trace shows each call: ViTraced_viOpen and so on.
#define BS_VISA_TRACED(number, name, convention, params, roles) \
  BS_TRACED_FUNCTION(ViTraced_##name, kVisaTraceLibrary, name, params, roles)
BS_VISA_FUNCTIONS(BS_VISA_TRACED)
#undef BS_VISA_TRACED

// One member of a late-bound table per function (platform/LateBinding.h).
#define BS_VISA_TABLE_FIELD(number, name, ...) CLateBound<ViFn_##name, ViTraced_##name> name;
BS_LATE_BOUND_TABLE(ViTable, BS_VISA_FUNCTIONS, BS_VISA_TABLE_FIELD)
