#include "sim/SimStatus.h"

#include <cstdio>

namespace sim {

std::string BuiltinStatusText(int32_t status) {
  if (status == 0) {
    return "No error";
  }
  if (status >= kKvErrorParameter1 && status < kKvErrorParameter1 + 12) {
    return "Parameter " + std::to_string(status - kKvErrorParameter1 + 1) + " out of range";
  }
  struct Known {
    int32_t status;
    const char* text;
  };
  static const Known kKnown[] = {
      {kKvInstrumentError, "The instrument has an error in its error queue; read it with kv740m_error_query"},
      {kKvErrorFailIdQuery, "The instrument at this address is not of the kv740m family"},
      {kKvErrorWrongModule, "The module in this slot does not offer this function"},
      {kKvErrorNoLogging, "No logging function runs on this power meter channel"},
      {kViErrorInvalidObject, "Invalid session handle"},
      {kViErrorResourceNotFound, "No instrument at this address"},
      {kViErrorTimeout, "Timeout expired before the operation completed"},
      {kViErrorSystem, "System error"},
      {kViErrorIo, "I/O error"},
      {kViErrorResourceBusy, "The instrument is busy"},
      {kViErrorInvalidResourceName, "Invalid resource name"},
      {kViErrorClosingFailed, "The session could not be closed"},
      {kViErrorUserBuffer, "Invalid buffer"},
  };
  for (const Known& known : kKnown) {
    if (known.status == status) {
      return known.text;
    }
  }
  return std::string();
}

std::string StatusHex(int32_t status) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(static_cast<uint32_t>(status)));
  return text;
}

}  // namespace sim
