#pragma once
// The guided and trigger tests against the simulated bench: the driver served by
// the fake library table, the dialogs headless, message boxes and the wait
// cursor from the fake shell.
#include <cstdint>
#include <string>
#include <vector>

#include "instrument/InstrLayerCheck.h"
#include "tests/fakes/BenchTemplates.h"
#include "tests/fakes/FakeText.h"
#include "tests/fakes/FakeShell.h"
#include "tests/fakes/HeadlessDialog.h"
#include "tests/fakes/PlatformFixture.h"

class BenchTest : public PlatformTest {
 protected:
  BenchTest() {
    Platform platform = GetPlatform();
    platform.shell = &shell;
    platform.dialogs = &dialogs;
    SetPlatform(platform);
    DefineGuidedTestTemplate(dialogs);
    DefineTlsSelectTemplate(dialogs);
    Clock().SetTicksPerRead(50);
    EXPECT_TRUE(libraries.AddSimLibrary("kv740m_32.dll"));
  }

  // The check attached as the main dialog attaches it, and begun.
  void Begin(CInstrLayerCheck& check) {
    Attach(check);
    ASSERT_EQ(check.BeginWithDriver(), 0);
  }
  // The driver calls of the given names, with every session handle of the
  // check written as s1, s2, ... in list order.
  static std::vector<std::string> Calls(const CInstrLayerCheck& check,
                                        const std::vector<std::string>& names);
  // The report from the first occurrence of from on; empty when it is missing.
  std::string WindowFrom(const std::string& from) const;
  // What the tunable laser in slot of the mainframe at position (from 0) says
  // about its state now, asked through the check's own driver table.
  static uint16_t LaserState(const CInstrLayerCheck& check, size_t mainframe, int32_t slot);

  FakeShell shell;
  CHeadlessDialogBackend dialogs;
};

// Bench files in a few lines: "V" as the maker, so every model survives the
// system's 30-character slot answer.
std::string Bench(const std::vector<std::string>& mainframes);
std::string Mainframe(const std::string& address, const std::string& model,
                      const std::vector<std::string>& slots, const std::string& extra = "");
std::string Slot(int32_t slot, int32_t type, const std::string& model,
                 const std::string& extra = "");
// A meter reading dark and lit watts.
std::string Meter(int32_t slot, int32_t type, const std::string& model, double dark, double lit);

