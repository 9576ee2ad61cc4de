// The VISA Libraries check over folder, file and registry layouts of the fake
// PC: every line and the verdict of each layout, as golden texts.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "instrument/VisaLibrariesCheck.h"
#include "tests/fakes/FakeVisaCopies.h"
#include "tests/unit/instrument/InstrumentTestSupport.h"

namespace {

const FakeVisaCopy kProgramCopy{"C:\\benchsentry\\visa32.dll", "", 32};
const FakeVisaCopy kSystemCopy{"C:\\WINNT\\system32\\visa32.dll", "", 32};
const FakeVisaCopy kPathCopy{"C:\\OtherVisa\\bin\\visa32.dll", "visa-other", 32};

void WindowsXp(FakeSystem& system) { system.SetVersion(2, 5, 1, 2600, "Service Pack 3"); }

// Windows 7 x64 under a 32-bit program: the program's system folder is SysWOW64.
void Windows7x64(FakeSystem& system) {
  system.SetVersion(2, 6, 1, 7601, "Service Pack 1");
  system.wow64 = true;
  system.SetRegistryString(kVisaFrameworkKey, "VXIPNPPATH", "C:\\VXIPNP\\", kRegistryView32);
  system.SetRegistryString(kVisaFrameworkKey, "VXIPNPPATH", "C:\\VXIPNP\\", kRegistryView64);
  system.SetRegistryString(kVisaFrameworkKey, "VXIPNPPATH64", "C:\\VXIPNP64\\", kRegistryView64);
}

class VisaLibrariesCheckTest : public InstrumentTest {};

TEST_F(VisaLibrariesCheckTest, EachLayoutWithItsLinesAndVerdict) {
  const struct {
    const char* golden;  // <golden>_window.txt and <golden>_document.html
    std::vector<FakeVisaCopy> copies;
    FakeVisaCopy loaded;  // loadError != 0: the error it fails with
    uint32_t loadError;
    int32_t code;
    std::function<void(FakeSystem&, SimBenchScope&)> machine;
  } rows[] = {
      {"visa_one_copy", {kSystemCopy}, kSystemCopy, 0, 0,
       [](FakeSystem& system, SimBenchScope&) {
         WindowsXp(system);
         system.SetRegistryString(kVisaFrameworkKey, "VXIPNPPATH", "C:\\VXIPNP\\");
       }},
      {"visa_two_publishers", {kSystemCopy, kPathCopy}, kSystemCopy, 0, kVisaErrorCopiesDiffer,
       [](FakeSystem& system, SimBenchScope&) {
         WindowsXp(system);
         system.environment["Path"] = "C:\\WINNT\\system32;C:\\WINNT;C:\\OtherVisa\\bin;";
       }},
      // The same version and publisher: only warnings; the library names another maker.
      {"visa_loaded_outside_system", {kProgramCopy, kSystemCopy}, kProgramCopy, 0, 0,
       [](FakeSystem& system, SimBenchScope& bench) {
         WindowsXp(system);
         bench.Use("format_version = 1\n[visa]\nmaker_name = \"Oberon <Instruments>\"\nmaker_id = 0x1A2B\n");
       }},
      {"visa_64bit_image",
       {{"C:\\benchsentry\\visa32.dll", "visa-other-image", 64}, {"C:\\WINNT\\SysWOW64\\visa32.dll", "", 32},
        {"C:\\WINNT\\system32\\visa32.dll", "visa-other-image", 64},
        {"C:\\WINNT\\system32\\visa64.dll", "visa-other-image", 64}},
       // A 32-bit program's module in the system folder carries the folder's real name.
       {"C:\\WINNT\\SysWOW64\\visa32.dll", "", 32}, 0, 0,
       [](FakeSystem& system, SimBenchScope&) { Windows7x64(system); }},
      {"visa_cannot_load", {{"C:\\benchsentry\\visa32.dll", "visa-missing-dependency", 32}},
       {"C:\\benchsentry\\visa32.dll", "visa-missing-dependency", 32}, 126, kVisaErrorNotLoadable,
       [](FakeSystem& system, SimBenchScope&) {
         WindowsXp(system);
         system.messages[126] = "The specified module could not be found.";
       }},
      // Windows 2000: no IsWow64Process, no safe search mode.
      {"visa_none", {}, kSystemCopy, 126, kVisaErrorNotLoadable,
       [](FakeSystem& system, SimBenchScope&) { system.hasIsWow64Process = false; }},
      {"visa_no_redirection_calls", {{"C:\\WINNT\\SysWOW64\\visa32.dll", "", 32}}, kSystemCopy, 0, 0,
       [](FakeSystem& system, SimBenchScope&) {
         Windows7x64(system);
         system.hasRedirectionCalls = false;
       }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.golden);
    FakeSystem machine;
    FakeFileSystem disk;
    FakeLibraries table;
    Platform platform = GetPlatform();
    platform.system = &machine;
    platform.files = &disk;
    platform.libraries = &table;
    SetPlatform(platform);
    SimUseDefaultBench();
    row.machine(machine, bench);
    for (const FakeVisaCopy& copy : row.copies) PlaceVisaCopy(disk, table, copy);
    LoadVisaFrom(table, row.loaded, row.loadError);

    ReportFixture out;
    CVisaLibrariesCheck check;
    out.Attach(check);
    check.Start();
    int32_t code = check.Error();
    while (check.Step() != -1) code = check.Error();
    check.Flush();
    EXPECT_EQ(code, row.code);
    EXPECT_EQ(machine.redirectionOff, 0);
    ExpectGolden(std::string(row.golden) + "_window.txt", out.WindowText());
    ExpectGolden(std::string(row.golden) + "_document.html", out.Document());
  }
}

}  // namespace
