#include <cstring>

#include "host/OsLayerCheck.h"
#include "tests/unit/platform/Win32TestSupport.h"

namespace {

const char kProductOptions[] = "SYSTEM\\CurrentControlSet\\Control\\ProductOptions";

using Win32SystemTest = Win32Test;

TEST_F(Win32SystemTest, VersionRecordInBothSizes) {
  ISystem& system = Win32System();
  OsVersionRecord extended;
  extended.size = 156;
  ASSERT_TRUE(system.GetVersionEx(extended));
  EXPECT_EQ(2u, extended.platformId);
  EXPECT_GE(extended.majorVersion, 4u);

  OsVersionRecord basic;
  basic.size = 148;
  ASSERT_TRUE(system.GetVersionEx(basic));
  EXPECT_EQ(extended.majorVersion, basic.majorVersion);
  EXPECT_EQ(extended.minorVersion, basic.minorVersion);
  EXPECT_EQ(extended.buildNumber, basic.buildNumber);
  EXPECT_STREQ(extended.csdVersion, basic.csdVersion);

  OsVersionRecord wrong;
  wrong.size = 20;
  EXPECT_FALSE(system.GetVersionEx(wrong));
}

TEST_F(Win32SystemTest, ProcessorAndMemory) {
  ISystem& system = Win32System();
  SystemInfoRecord info;
  system.GetSystemInfo(info);
  EXPECT_NE(0u, info.processorType);
  EXPECT_NE(0, info.processorLevel);

  MemoryStatusRecord memory;
  ASSERT_TRUE(system.HasGlobalMemoryStatusEx());  // bound at run time, present since 2000
  ASSERT_TRUE(system.GlobalMemoryStatusEx(memory));
  EXPECT_GT(memory.totalPhys, 0u);
  EXPECT_LE(memory.availPhys, memory.totalPhys);

  MemoryStatusRecord basic;
  system.GlobalMemoryStatus(basic);
  EXPECT_GT(basic.totalPhys, 0u);
  // The basic record's byte counts are pointer-sized: 32-bit in the program.
  if (sizeof(void*) == 4) {
    EXPECT_LE(basic.totalPhys, 0xFFFFFFFFu);
  }
  EXPECT_LE(basic.availPhys, basic.totalPhys);
}

TEST_F(Win32SystemTest, RegistryProductType) {
  ISystem& system = Win32System();
  RegistryKey key = nullptr;
  ASSERT_EQ(0, system.RegOpenKeyEx(kProductOptions, &key));
  uint8_t data[80] = {};
  uint32_t size = sizeof(data);
  ASSERT_EQ(0, system.RegQueryValueEx(key, "ProductType", data, &size));
  const std::string type(reinterpret_cast<const char*>(data));
  EXPECT_EQ(type.size() + 1, size);
  EXPECT_FALSE(type.empty());

  uint8_t small[2] = {};
  uint32_t smallSize = sizeof(small);
  EXPECT_EQ(234, system.RegQueryValueEx(key, "ProductType", small, &smallSize));  // more data
  EXPECT_EQ(size, smallSize);
  EXPECT_NE(0, system.RegQueryValueEx(key, "NoSuchValue", data, &size));
  system.RegCloseKey(key);

  RegistryKey missing = nullptr;
  EXPECT_EQ(2, system.RegOpenKeyEx("SOFTWARE\\bs_no_such_key", &missing));
}

TEST_F(Win32SystemTest, ComputerNameFitsSixteenCharacters) {
  ISystem& system = Win32System();
  char name[16] = {};
  uint32_t size = sizeof(name);
  ASSERT_TRUE(system.GetComputerName(name, &size));
  EXPECT_EQ(std::strlen(name), size);
  EXPECT_GT(size, 0u);
  EXPECT_LE(size, 15u);

  char tiny[1] = {};
  uint32_t tinySize = sizeof(tiny);
  EXPECT_FALSE(system.GetComputerName(tiny, &tinySize));
}

TEST_F(Win32SystemTest, LocalTime) {
  std::tm now = {};
  ASSERT_TRUE(Win32Clock().LocalTime(now));
  EXPECT_GE(now.tm_year + 1900, 2020);
  EXPECT_GE(now.tm_mon, 0);
  EXPECT_LE(now.tm_mon, 11);
}

TEST_F(Win32SystemTest, OsLayerCheckRunsOnTheRealSystem) {
  COsLayerCheck check;
  Attach(check);
  check.Begin();
  int steps = 0;
  while (check.Step() != -1 && ++steps < 10) {
  }
  check.Flush();
  EXPECT_EQ(-1, check.Error());
  const std::string& text = window.Text();
  EXPECT_NE(std::string::npos, text.find("\r\nProcessor Type: ")) << text;
  EXPECT_NE(std::string::npos, text.find("RAM available = ")) << text;
  EXPECT_NE(std::string::npos, text.find("Operating system: ")) << text;
  EXPECT_NE(std::string::npos, text.find("Build no.")) << text;
  EXPECT_NE(std::string::npos, text.find("ole32.dll is accessible")) << text;
  EXPECT_NE(std::string::npos, text.find("OS Layer Check")) << text;
}

}  // namespace
