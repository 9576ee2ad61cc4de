#pragma once
// A test machine for the host-side checks: every fake platform part installed,
// the report attached as the main dialog attaches it.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "platform/Platform.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FakeLibraries.h"
#include "tests/fakes/FakeNetwork.h"
#include "tests/fakes/FakeSystem.h"
#include "tests/fakes/ReportFixture.h"

inline std::string ReadTestData(const std::string& name) {
  std::ifstream file(std::string(BS_TEST_DATA_DIR) + "/" + name, std::ios::binary);
  EXPECT_TRUE(file.good()) << "missing test data " << name;
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

inline FakeVersion MakeVersion(uint32_t ms, uint32_t ls, const std::string& company,
                               const std::string& productVersion) {
  FakeVersion version;
  version.fileVersionMS = ms;
  version.fileVersionLS = ls;
  version.translations = {0x04E40409};
  version.companyName = company;
  version.productVersion = productVersion;
  return version;
}

class HostTest : public ::testing::Test {
 protected:
  HostTest() {
    Platform platform = GetPlatform();
    platform.libraries = &libraries;
    platform.system = &system;
    platform.network = &network;
    platform.files = &files;
    SetPlatform(platform);
  }

  void Attach(CLayerCheck& check) { report.Attach(check); }
  const std::string& Window() const { return report.WindowText(); }
  const std::string& Document() const { return report.Document(); }

  // A library on the search path with a version resource of the common kind.
  void AddPlainLibrary(const std::string& name, uint32_t ms = 0x00050001,
                       uint32_t ls = 0x0A280000, const std::string& company = "Example Systems",
                       const std::string& productVersion = "5.1.2600.0") {
    libraries.AddLibrary(name, {}, MakeVersion(ms, ls, company, productVersion));
  }

  FakeLibraries libraries;
  FakeSystem system;
  FakeNetwork network;
  FakeFileSystem files;
  ReportFixture report;  // after the fakes: it restores the platform first
};
