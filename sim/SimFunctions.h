#pragma once
// The exports of the three simulated libraries. In the DLLs they have C names
// (the .def files give them undecorated); natively they stay in a namespace so
// that nothing in a test program can bind to them by accident.
#include "host/ZebFunctions.h"
#include "instrument/DriverFunctions.h"
#include "instrument/VisaFunctions.h"

#if defined(_WIN32)
#define BS_SIM_BEGIN_EXPORTS \
  namespace simexp {         \
  extern "C" {
#define BS_SIM_END_EXPORTS \
  }                        \
  }
#else
#define BS_SIM_BEGIN_EXPORTS namespace simexp {
#define BS_SIM_END_EXPORTS }
#endif

BS_SIM_BEGIN_EXPORTS

#define BS_SIM_DECLARE_DRIVER(number, name, params) KvStatus BS_STDCALL name params;
BS_DRIVER_FUNCTIONS(BS_SIM_DECLARE_DRIVER)
#undef BS_SIM_DECLARE_DRIVER

ViStatus BS_STDCALL viOpenDefaultRM(ViSession* resourceManager);
ViStatus BS_STDCALL viFindRsrc(ViSession resourceManager, const char* expression, ViFindList* findList,
                               ViUInt32* count, char* description);
ViStatus BS_STDCALL viFindNext(ViFindList findList, char* description);
ViStatus BS_STDCALL viOpen(ViSession resourceManager, const char* description, ViUInt32 accessMode,
                           ViUInt32 openTimeout, ViSession* session);
ViStatus BS_STDCALL viClose(ViObject object);
ViStatus BS_STDCALL viSetAttribute(ViObject object, ViAttr attribute, ViAttrState value);
ViStatus BS_CDECL viQueryf(ViSession session, const char* writeFormat, const char* readFormat, ...);

int32_t BS_STDCALL ZebVersionString(char* buffer);
int32_t BS_STDCALL ZebVersion(int16_t* major, int16_t* minor, int16_t* build);
int32_t BS_STDCALL ZebInit(int32_t a, int32_t b);
int32_t BS_STDCALL ZebClose();

BS_SIM_END_EXPORTS
