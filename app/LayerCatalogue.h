#pragma once
// The layers of Diagnose All, in their order: the one list that the layer
// commands, Diagnose All, the run without a window and the JSON report read.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "report/LayerCheck.h"

struct CLayerEntry {
  // The layer's name in the JSON report and the console summary: its check's.
  const char* name;
  std::unique_ptr<CLayerCheck> (*makeCheck)();
};

enum LayerIndex : size_t { kLayerOs, kLayerSw, kLayerGpib, kLayerInstrument, kLayerOptical, kLayerCount };

extern const CLayerEntry kLayers[kLayerCount];
