#pragma once
// The GPIB layer check: is the VISA library there, and does any instrument
// answer on GPIB interfaces 0 to 9? It talks to VISA directly, not to the
// instrument driver.
#include "host/LibraryProbe.h"
#include "instrument/VisaFunctions.h"

constexpr int32_t kGpibErrorNoVisa = 1;
constexpr int32_t kGpibErrorNoResource = 9;

// One task: the VISA library and the scan of GPIB0 to GPIB9.
inline constexpr CLayerTexts kGpibLayer = {"GPIB", 1, kInvalidTaskText, kBannerEnd};

extern const char kVisaLibrary[];  // "visa32.dll"

class CGpibLayerCheck : public CLibraryProbeCheck {
 public:
  CGpibLayerCheck();
  ~CGpibLayerCheck() override;

  int ScanGpibBoard(int board);
  int ScanResources(const char* interfaceName);
  // The answers go into the current record's system errors (a resource's, or
  // its board's under the same key).
  void QuerySystemError(ViSession session);

 private:
  int RunTask(int task) override;
  void ScanResource(ViTable& visa, ViSession manager, const char* description);

  // A library lacking a function is reported once per check, not per interface.
  bool m_missingReported = false;
};
