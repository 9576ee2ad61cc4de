#pragma once
// The OS layer check: processor, network identity, memory, Windows version,
// build and service pack, and three system libraries.
#include "host/LibraryProbe.h"
#include "platform/System.h"

// The OS layer's tasks: system, mfc42.dll, ole32.dll and msvcrt.dll; its verdict
// banner ends in a blank line.
inline constexpr CLayerTexts kOsLayer = {"OS", 3, kInvalidTaskText, "<br><hr><br>\r\n\r\n"};

// Error codes of the OS layer.
constexpr int32_t kOsErrorWin9x = 1;
constexpr int32_t kOsErrorServicePack = 2;
constexpr int32_t kOsErrorMfc42 = 3;
constexpr int32_t kOsErrorOle32 = 4;
constexpr int32_t kOsErrorMsvcrt = 5;

// Physical memory through the extended call where the system has it and it
// answers, else through the basic one.
MemoryStatusRecord ReadMemoryStatus(ISystem& system);

// The anchor of the service-pack advice, opened in a new browser window.
extern const char kServicePackAnchor[];

class COsLayerCheck : public CLibraryProbeCheck {
 public:
  COsLayerCheck();
  ~COsLayerCheck() override;

  // 1 when the platform was reported; 0 when the version could not be read or
  // the platform id is unknown.
  int ReportOsVersion();
  void ReportProcessor(const SystemInfoRecord& info);
  void ReportMemory(const MemoryStatusRecord& memory);
  // Network identity (host/NetworkIdentity.cpp).
  void ReportAdapterAddress();
  void ReportIpAddress();

 private:
  int RunTask(int task) override;
  int ReportSystem();
  void ReportProductType();
  void ReportServicePack(const OsVersionRecord& version);
};
