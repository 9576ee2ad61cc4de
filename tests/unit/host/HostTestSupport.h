#pragma once
// A test machine for the host-side checks: every fake platform part installed,
// the report attached as the main dialog attaches it.
#include <gtest/gtest.h>

#include <string>

#include "tests/fakes/PlatformFixture.h"

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

class HostTest : public PlatformTest {
 protected:
  // A library on the search path with a version resource of the common kind.
  void AddPlainLibrary(const std::string& name, uint32_t ms = 0x00050001,
                       uint32_t ls = 0x0A280000, const std::string& company = "Example Systems",
                       const std::string& productVersion = "5.1.2600.0") {
    libraries.AddLibrary(name, {}, MakeVersion(ms, ls, company, productVersion));
  }
};
