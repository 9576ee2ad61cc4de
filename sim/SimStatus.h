#pragma once
// Status values of the simulated libraries. VISA and VXIplug&play codes where
// the standards define one; the 0xBFFC0Dxx codes are this driver's own.
#include <cstdint>
#include <string>

#include "instrument/DriverFunctions.h"
#include "instrument/VisaFunctions.h"

namespace sim {

constexpr int32_t Status(uint32_t value) { return static_cast<int32_t>(value); }

// VISA codes the simulation needs beyond those the system uses.
constexpr ViStatus kViErrorClosingFailed = Status(0xBFFF0016u);       // VI_ERROR_CLOSING_FAILED
constexpr ViStatus kViErrorNotSupportedOperation = Status(0xBFFF0067u); // VI_ERROR_NSUP_OPER
constexpr ViStatus kViErrorNotSupportedAttributeState = Status(0xBFFF001Eu); // VI_ERROR_NSUP_ATTR_STATE
constexpr ViStatus kViErrorUserBuffer = Status(0xBFFF0071u);          // VI_ERROR_USER_BUF
constexpr ViStatus kViWarnNullObject = Status(0x3FFF0082u);           // VI_WARN_NULL_OBJECT

// VXIplug&play instrument-driver codes.
constexpr KvStatus kKvErrorParameter1 = Status(0xBFFC0001u); // VI_ERROR_PARAMETER1; n-th is +n-1
constexpr KvStatus kKvErrorFailIdQuery = Status(0xBFFC0011u); // VI_ERROR_FAIL_ID_QUERY
// The driver's own.
constexpr KvStatus kKvErrorWrongModule = Status(0xBFFC0D01u);
constexpr KvStatus kKvErrorNoLogging = Status(0xBFFC0D02u);
// What every call returns while the bench file is unusable.
constexpr KvStatus kSimErrorBench = kViErrorSystem;
// What a call returns when something unforeseen (out of memory) stopped it:
// nothing is thrown across a library's boundary.
constexpr KvStatus kSimErrorUnexpected = kViErrorSystem;

constexpr KvStatus ParameterError(int number) { return kKvErrorParameter1 + (number - 1); }

// Built-in text of a driver status; empty when the driver has none.
std::string BuiltinStatusText(int32_t status);

// Formats a status as 0xXXXXXXXX.
std::string StatusHex(int32_t status);

}  // namespace sim
