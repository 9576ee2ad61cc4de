#include "app/LayerCatalogue.h"

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
    {kOsLayer.name, &Make<COsLayerCheck>},
    {kSwLayer.name, &Make<CSwLayerCheck>},
    {kGpibLayer.name, &Make<CGpibLayerCheck>},
    {kInstrumentLayer.name, &Make<CInstrLayerCheck>},
    {kOpticalLayer.name, &Make<COpticalLayerCheck>},
};
