#pragma once
// The layers of Diagnose All, in their order: the one list that the menu
// commands, Diagnose All, the run without a window and the JSON report read.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "report/LayerCheck.h"

struct CLayerEntry {
  // The layer's name in the JSON report and the console summary.
  const char* name;
  // The menu command and the second id it also answers to.
  int32_t command;
  int32_t alternateCommand;
  std::unique_ptr<CLayerCheck> (*makeCheck)();
};

enum LayerIndex : size_t { kLayerOs, kLayerSw, kLayerGpib, kLayerInstrument, kLayerOptical, kLayerCount };

extern const CLayerEntry kLayers[kLayerCount];

// The layer a menu command id runs; null for other ids.
const CLayerEntry* LayerOfCommand(int32_t id);
