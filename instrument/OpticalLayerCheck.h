#pragma once
// The Optical layer check: the Instrument check with its measurement branch on,
// every tunable laser switched on, every power-meter channel read, lasers off.
#include "instrument/InstrLayerCheck.h"

inline constexpr CLayerTexts kOpticalLayer = {"Optical", 2, kInvalidTaskText, kBannerEnd};

class COpticalLayerCheck : public CInstrLayerCheck {
 public:
  COpticalLayerCheck();
  ~COpticalLayerCheck() override;

  void RunOpticalTest();

 protected:
  int RunTask(int task) override;
};
