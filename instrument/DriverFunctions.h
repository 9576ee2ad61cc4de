#pragma once
// The instrument driver's entry table, written once: number (order of the
// presence check, 0 for the one entry that is looked up but not checked),
// exported name, parameter list and what each parameter is. The binding's table
// fields, the lookups by name, the presence check and the trace of every call
// are all generated from this list, and the simulated driver checks its exports
// against the same types.
#include <cstddef>
#include <cstdint>

#include "platform/CallConv.h"
#include "platform/LateBinding.h"

using KvSession = uint32_t;
using KvStatus = int32_t;

// The instrument itself has an error in its error queue.
constexpr KvStatus kKvInstrumentError = static_cast<KvStatus>(0xBFFC0D07u);

constexpr int32_t kSlotsPerMainframe = 18;

// The buffers of the calls that are given none with their text, each as its
// longest documented answer needs (terminator included); the simulated driver
// fills them up to that.
constexpr size_t kKvIdentificationSize = 10000;  // kv740m_getInstrumentId_Q
constexpr size_t kKvMessageSize = 256;            // kv740m_error_query, kv740m_error_message
constexpr size_t kKvListSize = 5000;              // kv740m_listVisa_Q

// Module type codes as the driver reports them per slot.
enum SlotTypeCode : int32_t {
  kSlotEmpty = 0,
  kSlotPowerMeter = 1,
  kSlotDualPowerMeter = 2,
  kSlotLaserSource = 3,
  kSlotDualLaserSource = 4,
  kSlotTunableLaser = 5,
  kSlotReturnLoss = 6,
  kSlotReturnLossCombo = 7,
};

// The values kv740m_get_PWM_loggingResults_Q fills: as many as the logging set up
// before it asked for, which the trigger check always makes this many.
constexpr int32_t kKvLoggingPoints = 11;

// The library as the trace names it; its statuses are the driver standard's.
inline constexpr CTraceLibrary kDriverTraceLibrary{"kv740m_32.dll", TraceStatusKind::Visa};

// X(number, name, parameter list, roles). Every function returns KvStatus. Listed
// in the order in which the binding looks them up. The roles say what each
// parameter is to the trace (platform/TraceFormat.h).
#define BS_DRIVER_FUNCTIONS(X)                                                                   \
  X(1, kv740m_listVisa_Q, (int32_t interfaceType, int32_t selection, int32_t * count, char* list), \
    (ArgIn, ArgIn, ArgOut, ArgOutText(kKvListSize)))                                             \
  X(2, kv740m_get_PWM_calibration_Q, (KvSession session, int32_t slot, int32_t channel, double* value), \
    (ArgHandle, ArgIn, ArgIn, ArgOut))                                                           \
  X(3, kv740m_init, (const char* address, uint16_t idQuery, uint16_t reset, KvSession* session), \
    (ArgIn, ArgIn, ArgIn, ArgOutHandle))                                                         \
  X(4, kv740m_getInstrumentId_Q, (const char* address, char* identification),                   \
    (ArgIn, ArgOutText(kKvIdentificationSize)))                                                  \
  X(5, kv740m_getNoOfRegPWMChannels_Q, (KvSession session, uint32_t * channels), (ArgHandle, ArgOut)) \
  X(6, kv740m_registerMainframe, (KvSession session), (ArgHandle))                               \
  X(8, kv740m_cls, (KvSession session), (ArgHandle))                                             \
  X(10, kv740m_close, (KvSession session), (ArgHandle))                                          \
  X(9, kv740m_reset, (KvSession session), (ArgHandle))                                           \
  X(7, kv740m_dcl, (KvSession session), (ArgHandle))                                             \
  X(11, kv740m_error_query, (KvSession session, int32_t * code, char* message),                  \
    (ArgHandle, ArgOut, ArgOutText(kKvMessageSize)))                                             \
  X(12, kv740m_error_message, (KvSession session, KvStatus status, char* message),               \
    (ArgHandle, ArgStatus, ArgOutText(kKvMessageSize)))                                          \
  X(13, kv740m_cmd, (KvSession session, const char* command), (ArgHandle, ArgIn))                \
  X(14, kv740m_getSlotInformation_Q, (KvSession session, int32_t count, int32_t * slotTypes),   \
    (ArgHandle, ArgIn, ArgOutArray(1)))                                                          \
  X(15, kv740m_cmdString_Q, (KvSession session, const char* command, int32_t size, char* answer), \
    (ArgHandle, ArgIn, ArgIn, ArgOutTextSizedBy(2)))                                             \
  X(16, kv740m_PWM_readValue, (KvSession session, int32_t slot, int32_t channel, double* value), \
    (ArgHandle, ArgIn, ArgIn, ArgOut))                                                           \
  X(17, kv740m_set_PWM_parameters,                                                               \
    (KvSession session, int32_t slot, int32_t channel, int32_t rangeMode, int32_t powerUnit,    \
     int32_t internalTrigger, double wavelength, double averagingTime, double powerRange),      \
    (ArgHandle, ArgIn, ArgIn, ArgIn, ArgIn, ArgIn, ArgIn, ArgIn, ArgIn))                         \
  X(18, kv740m_set_TLS_wavelength, (KvSession session, int32_t slot, double wavelength),        \
    (ArgHandle, ArgIn, ArgIn))                                                                   \
  X(19, kv740m_set_TLS_laserState, (KvSession session, int32_t slot, uint16_t state),           \
    (ArgHandle, ArgIn, ArgIn))                                                                   \
  X(20, kv740m_set_FLS_laserState, (KvSession session, int32_t slot, uint16_t state),           \
    (ArgHandle, ArgIn, ArgIn))                                                                   \
  X(21, kv740m_set_TLS_parameters,                                                               \
    (KvSession session, int32_t slot, int32_t powerUnit, int32_t opticalOutput,                 \
     int32_t turnLaser, double power, double attenuation, double wavelength),                   \
    (ArgHandle, ArgIn, ArgIn, ArgIn, ArgIn, ArgIn, ArgIn, ArgIn))                                \
  X(22, kv740m_get_TLS_laserState_Q, (KvSession session, int32_t slot, uint16_t * state),       \
    (ArgHandle, ArgIn, ArgOut))                                                                  \
  X(23, kv740m_get_FLS_laserState_Q, (KvSession session, int32_t slot, uint16_t * state),       \
    (ArgHandle, ArgIn, ArgOut))                                                                  \
  X(0, kv740m_get_TLS_opticalOutput_Q, (KvSession session, int32_t slot, int32_t * output),     \
    (ArgHandle, ArgIn, ArgOut))                                                                  \
  X(24, kv740m_set_TLS_sweep,                                                                    \
    (KvSession session, int32_t slot, int32_t sweepMode, int32_t repeatMode, int32_t cycles,    \
     int32_t dwellTime, int32_t lambdaLogging, double start, double stop, double step,          \
     double speed),                                                                              \
    (ArgHandle, ArgIn, ArgIn, ArgIn, ArgIn, ArgIn, ArgIn, ArgIn, ArgIn, ArgIn, ArgIn))           \
  X(25, kv740m_TLS_sweepControl, (KvSession session, int32_t slot, int32_t action),             \
    (ArgHandle, ArgIn, ArgIn))                                                                   \
  X(26, kv740m_TLS_sweepWait, (KvSession session, int32_t slot), (ArgHandle, ArgIn))             \
  X(27, kv740m_set_PWM_logging,                                                                  \
    (KvSession session, int32_t slot, int32_t channel, double averagingTime, int32_t points,     \
     double* estimatedTime),                                                                     \
    (ArgHandle, ArgIn, ArgIn, ArgIn, ArgIn, ArgOut))                                             \
  X(28, kv740m_set_TLS_triggerConfiguration,                                                     \
    (KvSession session, int32_t slot, int32_t triggerIn, int32_t triggerOut),                   \
    (ArgHandle, ArgIn, ArgIn, ArgIn))                                                            \
  X(29, kv740m_set_PWM_triggerConfiguration,                                                     \
    (KvSession session, int32_t slot, int32_t triggerIn, int32_t triggerOut),                   \
    (ArgHandle, ArgIn, ArgIn, ArgIn))                                                            \
  X(30, kv740m_standardTriggerConfiguration,                                                     \
    (KvSession session, int32_t configuration, uint32_t nodeA, uint32_t nodeB, uint32_t nodeC), \
    (ArgHandle, ArgIn, ArgIn, ArgIn, ArgIn))                                                     \
  X(31, kv740m_get_PWM_loggingResults_Q,                                                         \
    (KvSession session, int32_t slot, int32_t channel, uint16_t waitForCompletion,              \
     uint16_t resultUnit, uint16_t * finished, double* results),                                \
    (ArgHandle, ArgIn, ArgIn, ArgIn, ArgIn, ArgOut, ArgOutReals(kKvLoggingPoints)))              \
  X(32, kv740m_PWM_functionStop, (KvSession session, int32_t slot, int32_t channel),            \
    (ArgHandle, ArgIn, ArgIn))                                                                   \
  X(33, kv740m_preset, (KvSession session), (ArgHandle))                                         \
  X(34, kv740m_forceTransaction, (KvSession session, uint16_t force), (ArgHandle, ArgIn))        \
  X(35, kv740m_errorQueryDetect, (KvSession session, uint16_t detect), (ArgHandle, ArgIn))       \
  X(36, kv740m_timeOut, (KvSession session, uint32_t milliseconds), (ArgHandle, ArgIn))

// Function pointer types: KvFn_kv740m_init and so on.
#define BS_DRIVER_TYPEDEF(number, name, params, roles) using KvFn_##name = KvStatus(BS_STDCALL*) params;
BS_DRIVER_FUNCTIONS(BS_DRIVER_TYPEDEF)
#undef BS_DRIVER_TYPEDEF

// How the trace shows each call: KvTraced_kv740m_init and so on.
#define BS_DRIVER_TRACED(number, name, params, roles) \
  BS_TRACED_FUNCTION(KvTraced_##name, kDriverTraceLibrary, name, params, roles)
BS_DRIVER_FUNCTIONS(BS_DRIVER_TRACED)
#undef BS_DRIVER_TRACED

// One member of a late-bound table per function (platform/LateBinding.h).
#define BS_DRIVER_TABLE_FIELD(number, name, ...) CLateBound<KvFn_##name, KvTraced_##name> name;
BS_LATE_BOUND_TABLE(KvDriverTable, BS_DRIVER_FUNCTIONS, BS_DRIVER_TABLE_FIELD)
