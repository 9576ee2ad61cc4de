#pragma once
// The Optical layer check: the Instrument check with its measurement branch on,
// every tunable laser switched on, every power-meter channel read, lasers off.
#include "instrument/InstrLayerCheck.h"

class COpticalLayerCheck : public CInstrLayerCheck {
 public:
  COpticalLayerCheck();
  ~COpticalLayerCheck() override;

  int Step() override;
  void RunOpticalTest();
};
