#pragma once
// The names the VISA standard and the instrument-driver standard give their
// status values and attributes, for the trace.
#include <cstdint>

// VI_SUCCESS, VI_ERROR_TMO, VI_ERROR_PARAMETER3, ...; null for any other value.
const char* StandardStatusName(int32_t status);
// VI_ATTR_TMO_VALUE and the attributes the system sets; null for others.
const char* StandardAttributeName(uint32_t attribute);

constexpr int32_t kStatusTimeout = static_cast<int32_t>(0xBFFF0015u);  // VI_ERROR_TMO
