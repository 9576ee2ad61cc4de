#pragma once
// The instrument checks against the simulated bench, served by the fake
// library table: the driver, VISA and their variants, the bench of a test.
#include <string>

#include "instrument/InstrLayerCheck.h"
#include "tests/fakes/PlatformFixture.h"

class InstrumentTest : public PlatformTest {
 protected:
  InstrumentTest() { Clock().SetTicksPerRead(50); }

  void AddDriver(const std::string& variant = "") {
    ASSERT_TRUE(libraries.AddSimLibrary("kv740m_32.dll", variant)) << variant;
  }
  void AddVisa(const std::string& variant = "") {
    ASSERT_TRUE(libraries.AddSimLibrary("visa32.dll", variant)) << variant;
  }

  // The layer command pattern, which starts it with BeginWithDriver; the number of Steps.
  int RunWithDriver(CInstrLayerCheck& check) { return report.Run(check); }
  // A check attached and begun, for the operations.
  void Begin(CInstrLayerCheck& check) {
    Attach(check);
    ASSERT_EQ(check.BeginWithDriver(), 0);
    check.Flush();
  }
};

// A bench of count mainframes with the given address pattern ("%d" is the
// number from 1), each with a tunable laser in slot 0 and a meter in slot 1.
std::string BenchOfMainframes(int count, const std::string& addressPattern);
