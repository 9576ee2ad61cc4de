#pragma once
// What the fuzz targets share: libFuzzer's entry point, the check that turns a
// broken promise into a finding, and a machine of fakes to run a check on.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/Platform.h"
#include "report/LayerCheck.h"
#include "tests/fakes/FakeClock.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FakeLibraries.h"
#include "tests/fakes/FakeReportWindow.h"
#include "tests/fakes/FakeShell.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

// A promise the product broke on this input: libFuzzer keeps the input.
inline void FuzzExpect(bool kept, const char* promise, const std::string& detail = std::string()) {
  if (kept) return;
  std::fprintf(stderr, "fuzz finding: %s\n%s\n", promise, detail.c_str());
  std::abort();
}

inline std::string FuzzBytes(const uint8_t* data, size_t size) {
  return size == 0 ? std::string() : std::string(reinterpret_cast<const char*>(data), size);
}

// The report attached as the main dialog attaches it: window plain, document markup.
struct CFuzzReport {
  void Attach(CLayerCheck& check) {
    check.AttachWindow(&window, kModePlain);
    check.AttachBuffer(&document, kModeMarkup);
  }

  FakeReportWindow window;
  std::string document;
};

// The fakes a check meets, installed for one input, and the report.
class CFuzzMachine : public CFuzzReport {
 public:
  CFuzzMachine() : m_saved(GetPlatform()) {
    Platform platform = m_saved;
    platform.libraries = &libraries;
    platform.files = &files;
    platform.clock = &clock;
    platform.shell = &shell;
    SetPlatform(platform);
  }
  ~CFuzzMachine() { SetPlatform(m_saved); }
  CFuzzMachine(const CFuzzMachine&) = delete;
  CFuzzMachine& operator=(const CFuzzMachine&) = delete;

  FakeLibraries libraries;
  FakeFileSystem files;
  FakeClock clock;
  FakeShell shell;

 private:
  Platform m_saved;
};
