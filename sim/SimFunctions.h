#pragma once
// The exports of the three simulated libraries. In the DLLs they have C names
// (the .def files give them undecorated); natively they stay in a namespace so
// that nothing in a test program can bind to them by accident.
#include "host/ZebFunctions.h"
#include "instrument/DriverFunctions.h"
#include "instrument/VisaFunctions.h"

#include <type_traits>

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

#define BS_SIM_DECLARE_DRIVER(number, name, params, ...) KvStatus BS_STDCALL name params;
BS_DRIVER_FUNCTIONS(BS_SIM_DECLARE_DRIVER)
#undef BS_SIM_DECLARE_DRIVER

#define BS_SIM_DECLARE_VISA(number, name, convention, params, ...) ViStatus convention name params;
BS_VISA_FUNCTIONS(BS_SIM_DECLARE_VISA)
#undef BS_SIM_DECLARE_VISA

#define BS_SIM_DECLARE_ZEB(number, name, params, ...) int32_t BS_STDCALL name params;
BS_ZEB_FUNCTIONS(BS_SIM_DECLARE_ZEB)
#undef BS_SIM_DECLARE_ZEB

BS_SIM_END_EXPORTS

// Each export has exactly the type the system binds it with.
#define BS_SIM_CHECK_TYPE(prefix, name) \
  static_assert(std::is_same_v<decltype(&simexp::name), prefix##name>, #name " has the wrong type");
#define BS_SIM_CHECK_DRIVER(number, name, ...) BS_SIM_CHECK_TYPE(KvFn_, name)
#define BS_SIM_CHECK_VISA(number, name, ...) BS_SIM_CHECK_TYPE(ViFn_, name)
#define BS_SIM_CHECK_ZEB(number, name, ...) BS_SIM_CHECK_TYPE(ZebFn_, name)
