#include "app/LayerCatalogue.h"

#include "app/resource.h"
#include "host/OsLayerCheck.h"
#include "host/SwLayerCheck.h"
#include "instrument/GpibLayerCheck.h"
#include "instrument/InstrLayerCheck.h"
#include "instrument/OpticalLayerCheck.h"

namespace {

template <class Check>
std::unique_ptr<CLayerCheck> Make() {
  return std::make_unique<Check>();
}

}  // namespace

const CLayerEntry kLayers[kLayerCount] = {
    {"OS", ID_LAYER_OS, ID_LAYER_OS_ALT, &Make<COsLayerCheck>},
    {"SW", ID_LAYER_SW, ID_LAYER_SW_ALT, &Make<CSwLayerCheck>},
    {"GPIB", ID_LAYER_GPIB, ID_LAYER_GPIB_ALT, &Make<CGpibLayerCheck>},
    {"Instrument", ID_LAYER_INSTR, ID_LAYER_INSTR_ALT, &Make<CInstrLayerCheck>},
    {"Optical", ID_LAYER_OPTICAL, ID_LAYER_OPTICAL_ALT, &Make<COpticalLayerCheck>},
};

const CLayerEntry* LayerOfCommand(int32_t id) {
  for (const CLayerEntry& layer : kLayers) {
    if (layer.command == id || layer.alternateCommand == id) return &layer;
  }
  return nullptr;
}
