#pragma once
// A test machine for any check: every fake platform part installed, the report
// attached as the main dialog attaches it, and the simulated bench restored
// to its default when the test ends, however it ends.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/Platform.h"
#include "sim/SimExports.h"
#include "tests/fakes/DriverJournal.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FakeLibraries.h"
#include "tests/fakes/FakeNetwork.h"
#include "tests/fakes/FakeSystem.h"
#include "tests/fakes/FakeThreads.h"
#include "tests/fakes/ReportFixture.h"

#ifndef BS_SOURCE_DIR
#define BS_SOURCE_DIR "."
#endif

// A file of the test area's data folder, whole.
inline std::string ReadTestData(const std::string& name) {
  std::ifstream file(std::string(BS_TEST_DATA_DIR) + "/" + name, std::ios::binary);
  EXPECT_TRUE(file.good()) << "missing test data " << name;
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// Compares text with a file of the data folder byte for byte. With
// BS_UPDATE_GOLDEN=1 in the environment the file is written instead, to be
// read over before it is committed.
inline void ExpectGolden(const std::string& name, const std::string& actual) {
  const char* update = std::getenv("BS_UPDATE_GOLDEN");
  if (update != nullptr && std::string(update) == "1") {
    std::ofstream file(std::string(BS_TEST_DATA_DIR) + "/" + name, std::ios::binary);
    file << actual;
    return;
  }
  EXPECT_EQ(actual, ReadTestData(name)) << "golden file " << name;
}

// The simulated bench in use for one scope: the default bench again at its end.
class SimBenchScope {
 public:
  SimBenchScope() { SimUseDefaultBench(); }
  ~SimBenchScope() { SimUseDefaultBench(); }
  SimBenchScope(const SimBenchScope&) = delete;
  SimBenchScope& operator=(const SimBenchScope&) = delete;

  // A bench from TOML text, or one of the shipped benches by its file name ("faults.toml").
  void Use(const std::string& toml) {
    std::string error;
    ASSERT_TRUE(SimLoadBenchText(toml, "test.toml", error)) << error;
  }
  void UseShipped(const std::string& name) {
    std::string error;
    ASSERT_TRUE(SimLoadBenchFile(std::string(BS_SOURCE_DIR) + "/sim/benches/" + name, error)) << error;
  }
};

class PlatformTest : public ::testing::Test {
 protected:
  PlatformTest() {
    Platform platform = GetPlatform();
    platform.libraries = &libraries;
    platform.system = &system;
    platform.network = &network;
    platform.files = &files;
    SetPlatform(platform);
    DriverJournal().clear();
    // Every library call of a check goes to the instrument thread, as in the program.
    instrument.Start();
  }

  void Attach(CLayerCheck& check) { report.Attach(check); }
  const std::string& Window() const { return report.WindowText(); }
  const std::string& Document() const { return report.Document(); }
  FakeClock& Clock() { return report.Clock(); }

  FakeLibraries libraries;
  FakeSystem system;
  FakeNetwork network;
  FakeFileSystem files;
  ReportFixture report;  // after the fakes: it restores the platform first
  SimBenchScope bench;
  InstrumentThreadScope instrument;  // last: stopped before the platform is restored
};
