#pragma once
// The VISA functions the system calls, with the types of the VISA standard
// (32-bit Windows: ViSession, ViObject and ViFindList are 32-bit unsigned).
#include <cstdint>

#include "platform/CallConv.h"

using ViStatus = int32_t;
using ViSession = uint32_t;
using ViObject = uint32_t;
using ViFindList = uint32_t;
using ViUInt32 = uint32_t;
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

using ViFn_viOpenDefaultRM = ViStatus(BS_STDCALL*)(ViSession* resourceManager);
using ViFn_viFindRsrc = ViStatus(BS_STDCALL*)(ViSession resourceManager, const char* expression,
                                              ViFindList* findList, ViUInt32* count,
                                              char* description);
using ViFn_viFindNext = ViStatus(BS_STDCALL*)(ViFindList findList, char* description);
using ViFn_viOpen = ViStatus(BS_STDCALL*)(ViSession resourceManager, const char* description,
                                          ViUInt32 accessMode, ViUInt32 openTimeout,
                                          ViSession* session);
using ViFn_viClose = ViStatus(BS_STDCALL*)(ViObject object);
using ViFn_viSetAttribute = ViStatus(BS_STDCALL*)(ViObject object, ViAttr attribute,
                                                  ViAttrState value);
// Variadic, so the C calling convention.
using ViFn_viQueryf = ViStatus(BS_CDECL*)(ViSession session, const char* writeFormat,
                                          const char* readFormat, ...);
