#pragma once
// The SW layer check: the photonic library, the two instrument drivers, the VISA
// library with its publisher's minimum version, and six runtime and system libraries.
#include "host/LibraryProbe.h"

// Error codes of the SW layer; only the photonic library sets any.
constexpr int32_t kSwErrorZebNotFound = 6;
constexpr int32_t kSwErrorZebCopiesFound = 7;
constexpr int32_t kSwErrorZebNotCallable = 12;

// The SW layer's ten libraries, one task each; its invalid-task text is its own.
inline constexpr CLayerTexts kSwLayer = {
    "SW", 10, "An error detected in task number, This should never happen. <br>\r\n", kBannerEnd};

class CSwLayerCheck : public CLibraryProbeCheck {
 public:
  CSwLayerCheck();
  ~CSwLayerCheck() override;

 private:
  int RunTask(int task) override;
  void ProbePhotonicLibrary();
  void CallPhotonicLibrary();
  void AskPhotonicLibrary();
  void ProbeVisaLibrary();
};
