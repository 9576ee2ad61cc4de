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

constexpr ViStatus kViSuccess = 0;
constexpr ViStatus kViErrorTimeout = static_cast<ViStatus>(0xBFFF0015u);          // VI_ERROR_TMO
constexpr ViStatus kViErrorResourceNotFound = static_cast<ViStatus>(0xBFFF0011u); // VI_ERROR_RSRC_NFOUND
constexpr ViStatus kViErrorInvalidObject = static_cast<ViStatus>(0xBFFF000Eu);    // VI_ERROR_INV_OBJECT
constexpr ViStatus kViErrorSystem = static_cast<ViStatus>(0xBFFF0000u);           // VI_ERROR_SYSTEM_ERROR
constexpr ViStatus kViErrorInvalidExpression = static_cast<ViStatus>(0xBFFF0010u); // VI_ERROR_INV_EXPR
constexpr ViStatus kViErrorNotSupportedAttribute = static_cast<ViStatus>(0xBFFF001Du); // VI_ERROR_NSUP_ATTR
constexpr ViStatus kViErrorResourceBusy = static_cast<ViStatus>(0xBFFF0072u);     // VI_ERROR_RSRC_BUSY
constexpr ViStatus kViErrorIo = static_cast<ViStatus>(0xBFFF003Eu);               // VI_ERROR_IO
constexpr ViStatus kViErrorNotSupportedFormat = static_cast<ViStatus>(0xBFFF003Fu); // VI_ERROR_NSUP_FMT
constexpr ViAttr kViAttrTimeoutValue = 0x3FFF001Au;                               // VI_ATTR_TMO_VALUE
// What a VISA library says of itself through its default resource manager.
constexpr ViAttr kViAttrResourceMakerName = 0xBFFF0174u;       // VI_ATTR_RSRC_MANF_NAME, text
constexpr ViAttr kViAttrResourceMakerId = 0x3FFF0175u;         // VI_ATTR_RSRC_MANF_ID, 16 bits
constexpr ViAttr kViAttrResourceImplVersion = 0x3FFF0003u;     // VI_ATTR_RSRC_IMPL_VERSION, ViVersion
constexpr ViAttr kViAttrResourceSpecVersion = 0x3FFF0170u;     // VI_ATTR_RSRC_SPEC_VERSION, ViVersion

// X(number, name, calling convention, parameter list). Every function returns
// ViStatus. Listed in the order in which the GPIB scan looks them up; the number
// is the order of its presence check, 0 for one that is looked up but not
// required (viScanf reads what an answer longer than its first read left;
// viGetAttribute asks a library what it is).
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
  X(0, viScanf, BS_CDECL, (ViSession session, const char* readFormat, ...))                   \
  X(0, viGetAttribute, BS_STDCALL, (ViObject object, ViAttr attribute, void* value))

// Function pointer types: ViFn_viOpen and so on.
#define BS_VISA_TYPEDEF(number, name, convention, params) using ViFn_##name = ViStatus(convention*) params;
BS_VISA_FUNCTIONS(BS_VISA_TYPEDEF)
#undef BS_VISA_TYPEDEF

// One member of a late-bound table per function (platform/LateBinding.h).
#define BS_VISA_TABLE_FIELD(number, name, convention, params) CLateBound<ViFn_##name> name;
BS_LATE_BOUND_TABLE(ViTable, BS_VISA_FUNCTIONS, BS_VISA_TABLE_FIELD)
