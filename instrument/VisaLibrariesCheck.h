#pragma once
// Which VISA library this program really gets: the one Windows loaded for it,
// what it says of itself, every copy a program of this width could get in the
// order Windows searches, what the registry says is installed, and warnings a
// technician can act on. A command of its own, no layer of Diagnose All.
#include <cstdint>
#include <string>

#include "host/VisaInventory.h"
#include "platform/Libraries.h"
#include "report/LayerCheck.h"

// The codes of its verdict.
constexpr int32_t kVisaErrorNotLoadable = 1;   // no VISA library can be loaded
constexpr int32_t kVisaErrorCopiesDiffer = 2;  // the copies a program could get differ

extern const char kVisaLibrariesTitle[];  // "VISA Libraries"

class CVisaLibrariesCheck : public CLayerCheck {
 public:
  CVisaLibrariesCheck();
  ~CVisaLibrariesCheck() override;

  // The header banner of this check, then the first task.
  int Start() override;
  int Step() override;

 private:
  void ReportLoadedLibrary();
  void ReportLoadFailure();
  void ReportSelfDescription();
  void ReportCopies();
  void ReportRegistry();
  void ReportWarnings();
  // Version, publisher and image of a copy, in the information colour, kept
  // in the record's current object.
  void WriteFacts(const CVisaCopy& copy);
  void Warn(const char* kind, const std::string& text);
  // "a 32-bit program"
  std::string Program() const;

  CVisaInventory m_inventory;
  ModuleHandle m_module = nullptr;
  // The loaded library as a copy (path, version, publisher, image); path empty when none loaded.
  CVisaCopy m_loaded;
  uint32_t m_loadError = 0;
  std::string m_maker;  // what the library says is its maker; empty when it does not say
  int m_warnings = 0;
};
