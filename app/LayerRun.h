#pragma once
// Running one started check to its end, the same for the main dialog's commands
// and for the run without a window.
#include <cstdint>

#include "report/LayerCheck.h"

// Steps the check until it has written its verdict; returns the layer code the
// verdict was decided on (0: OK).
inline int32_t StepToEnd(CLayerCheck& check) {
  int32_t code = check.Error();
  while (check.Step() != -1) code = check.Error();
  return code;
}
