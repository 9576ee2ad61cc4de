// The simulated bench's DLLs as a Windows program sees them: loaded by name,
// every export found by its undecorated name and called through the standard
// calling convention, version resources read back. Runs under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/ZebFunctions.h"
#include "instrument/DriverFunctions.h"
#include "instrument/VisaFunctions.h"
#include "sim/SimExports.h"

namespace {

const char* const kLibraries[] = {"kv740m_32.dll", "visa32.dll", "zeb_32.dll"};

std::string VariantPath(const std::string& variant, const std::string& library) {
  return std::string(BS_SIM_VARIANTS_DIR) + "/" + variant + "/" + library;
}

template <typename Function>
Function Lookup(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

HMODULE Load(const char* name) {
  HMODULE module = LoadLibraryA(name);
  EXPECT_NE(module, nullptr) << name << " error " << GetLastError();
  return module;
}

std::string EnvironmentValue(const char* name) {
  char value[1024] = {};
  DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

struct Version {
  std::string company;
  std::string productVersion;
  std::string fileVersion;
  DWORD ms = 0;
  DWORD ls = 0;
};

bool ReadVersion(const std::string& path, Version& version) {
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
  if (size == 0) {
    return false;
  }
  std::vector<char> data(size);
  if (!GetFileVersionInfoA(path.c_str(), 0, size, data.data())) {
    return false;
  }
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || fixed == nullptr) {
    return false;
  }
  version.ms = fixed->dwFileVersionMS;
  version.ls = fixed->dwFileVersionLS;
  WORD* translation = nullptr;
  if (!VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                      &length) ||
      length < 4) {
    return false;
  }
  char block[64];
  auto text = [&](const char* name) {
    std::snprintf(block, sizeof block, "\\StringFileInfo\\%04x%04x\\%s", translation[0], translation[1], name);
    char* value = nullptr;
    UINT valueLength = 0;
    return VerQueryValueA(data.data(), block, reinterpret_cast<void**>(&value), &valueLength) && value
               ? std::string(value)
               : std::string();
  };
  version.company = text("CompanyName");
  version.productVersion = text("ProductVersion");
  version.fileVersion = text("FileVersion");
  return true;
}

void ExpectVersion(const std::string& path, const SimVersionInfo* expected) {
  ASSERT_NE(expected, nullptr) << path;
  Version version;
  ASSERT_TRUE(ReadVersion(path, version)) << path;
  EXPECT_EQ(version.company, expected->companyName) << path;
  EXPECT_EQ(version.productVersion, expected->productVersion) << path;
  EXPECT_EQ(version.fileVersion, expected->fileVersionText) << path;
  EXPECT_EQ(version.ms, expected->fileVersionMS) << path;
  EXPECT_EQ(version.ls, expected->fileVersionLS) << path;
}

TEST(SimDlls, EveryExportIsFoundByItsUndecoratedName) {
  for (const char* library : kLibraries) {
    HMODULE module = Load(library);
    ASSERT_NE(module, nullptr);
    for (const SimExport& entry : *SimLibraryExports(library)) {
      EXPECT_NE(GetProcAddress(module, entry.name), nullptr) << library << " " << entry.name;
    }
  }
}

TEST(SimDlls, DriverAnswersThroughTheStandardCallingConvention) {
  HMODULE driver = Load("kv740m_32.dll");
  ASSERT_NE(driver, nullptr);
  auto list = Lookup<KvFn_kv740m_listVisa_Q>(driver, "kv740m_listVisa_Q");
  auto init = Lookup<KvFn_kv740m_init>(driver, "kv740m_init");
  auto slots = Lookup<KvFn_kv740m_getSlotInformation_Q>(driver, "kv740m_getSlotInformation_Q");
  auto query = Lookup<KvFn_kv740m_cmdString_Q>(driver, "kv740m_cmdString_Q");
  auto message = Lookup<KvFn_kv740m_error_message>(driver, "kv740m_error_message");
  ASSERT_TRUE(list && init && slots && query && message);
  int32_t count = 0;
  char addresses[5000];
  ASSERT_EQ(list(0, 1, &count, addresses), 0);
  EXPECT_EQ(count, 2);
  EXPECT_STREQ(addresses, "GPIB0::20::INSTR,GPIB0::22::INSTR");
  KvSession session = 0;
  ASSERT_EQ(init("GPIB0::20::INSTR", 1, 0, &session), 0);
  EXPECT_NE(session, 0u);
  int32_t types[18] = {};
  ASSERT_EQ(slots(session, 18, types), 0);
  EXPECT_EQ(types[0], 5);
  EXPECT_EQ(types[12], 6);
  char answer[100];
  ASSERT_EQ(query(session, "SLOT0:IDN?", 100, answer), 0);
  EXPECT_STREQ(answer, "Velmora Technologies,VT7451B,DE00000201,V2.40");
  char text[256];
  message(0, 0, text);
  EXPECT_STREQ(text, "No error");
}

TEST(SimDlls, VisaFindsAndQueriesIncludingTheVariadicCall) {
  HMODULE visa = Load("visa32.dll");
  ASSERT_NE(visa, nullptr);
  auto openDefault = Lookup<ViFn_viOpenDefaultRM>(visa, "viOpenDefaultRM");
  auto find = Lookup<ViFn_viFindRsrc>(visa, "viFindRsrc");
  auto next = Lookup<ViFn_viFindNext>(visa, "viFindNext");
  auto open = Lookup<ViFn_viOpen>(visa, "viOpen");
  auto close = Lookup<ViFn_viClose>(visa, "viClose");
  auto set = Lookup<ViFn_viSetAttribute>(visa, "viSetAttribute");
  auto queryf = Lookup<ViFn_viQueryf>(visa, "viQueryf");
  ASSERT_TRUE(openDefault && find && next && open && close && set && queryf);
  ViSession manager = 0;
  ASSERT_EQ(openDefault(&manager), kViSuccess);
  EXPECT_EQ(set(manager, kViAttrTimeoutValue, 2000), kViSuccess);
  ViFindList list = 0;
  ViUInt32 count = 0;
  char description[256];
  ASSERT_EQ(find(manager, "GPIB0::?*INSTR", &list, &count, description), kViSuccess);
  EXPECT_EQ(count, 2u);
  EXPECT_STREQ(description, "GPIB0::20::INSTR");
  ASSERT_EQ(next(list, description), kViSuccess);
  EXPECT_STREQ(description, "GPIB0::22::INSTR");
  EXPECT_EQ(next(list, description), kViErrorResourceNotFound);
  ViSession instrument = 0;
  ASSERT_EQ(open(manager, "GPIB0::20::INSTR", 0, 0, &instrument), kViSuccess);
  char idn[4096];
  ASSERT_EQ(queryf(instrument, "*IDN?\n", "%t", idn), kViSuccess);
  EXPECT_STREQ(idn, "Velmora Technologies,VT7412A,DE00000101,V3.12(4711)");
  char error[256];
  ASSERT_EQ(queryf(instrument, "%s\n", "%t", "SYST:ERR?", error), kViSuccess);
  EXPECT_STREQ(error, "+0,\"No error\"");
  EXPECT_EQ(close(instrument), kViSuccess);
}

TEST(SimDlls, PhotonicLibraryReportsItsVersion) {
  HMODULE zeb = Load("zeb_32.dll");
  ASSERT_NE(zeb, nullptr);
  auto versionString = Lookup<ZebFn_ZebVersionString>(zeb, "ZebVersionString");
  auto version = Lookup<ZebFn_ZebVersion>(zeb, "ZebVersion");
  auto init = Lookup<ZebFn_ZebInit>(zeb, "ZebInit");
  auto close = Lookup<ZebFn_ZebClose>(zeb, "ZebClose");
  ASSERT_TRUE(versionString && version && init && close);
  std::vector<char> text(10000, '\x7f');
  versionString(text.data());
  EXPECT_STREQ(text.data(), "Zeb photonic library 3.2.1 (simulated bench)");
  int16_t a = 0, b = 0, c = 0;
  version(&a, &b, &c);
  EXPECT_EQ(a * 100 + b * 10 + c, 321);
  EXPECT_EQ(init(0, 0), 0);
  EXPECT_EQ(close(), 0);
}

TEST(SimDlls, VariantsLackExactlyTheirExport) {
  struct Missing {
    const char* variant;
    const char* library;
    const char* name;
  };
  const Missing variants[] = {{"no-init", "kv740m_32.dll", "kv740m_init"},
                              {"no-error-message", "kv740m_32.dll", "kv740m_error_message"},
                              {"no-timeout", "kv740m_32.dll", "kv740m_timeOut"},
                              {"no-optical-output", "kv740m_32.dll", "kv740m_get_TLS_opticalOutput_Q"},
                              {"zeb-no-versionstring", "zeb_32.dll", "ZebVersionString"}};
  for (const Missing& m : variants) {
    const std::string path = VariantPath(m.variant, m.library);
    HMODULE module = LoadLibraryA(path.c_str());
    ASSERT_NE(module, nullptr) << path;
    for (const SimExport& entry : *SimLibraryExports(m.library)) {
      const bool expected = std::strcmp(entry.name, m.name) != 0;
      EXPECT_EQ(GetProcAddress(module, entry.name) != nullptr, expected) << m.variant << " " << entry.name;
    }
  }
}

TEST(SimDlls, VersionResourcesMatchTheNativeTable) {
  for (const char* library : kLibraries) {
    ExpectVersion(library, SimLibraryVersion(library));
    for (const std::string& variant : SimVariantNames(library)) {
      ExpectVersion(VariantPath(variant, library), SimLibraryVersion(library, variant));
    }
  }
  Version maker;
  ASSERT_TRUE(ReadVersion(VariantPath("visa-maker-74109", "visa32.dll"), maker));
  EXPECT_EQ(maker.company, "Velmora Technologies");
  EXPECT_EQ(maker.ms, 0x004A0001u);
  EXPECT_EQ(maker.ls, 0x00000009u);
  Version ni;
  ASSERT_TRUE(ReadVersion(VariantPath("visa-ni-2500", "visa32.dll"), ni));
  EXPECT_EQ(ni.company, "National Instruments");
  EXPECT_EQ(ni.ms, 0x00020005u);
}

// Run with BENCHSENTRY_BENCH naming sim/tests/data/bad.toml (see CMakeLists.txt).
TEST(SimDllBadBench, EveryCallFailsAndTheDriverGivesTheMessage) {
  const std::string bench = EnvironmentValue("BENCHSENTRY_BENCH");
  ASSERT_FALSE(bench.empty()) << "BENCHSENTRY_BENCH is not set";
  HMODULE driver = Load("kv740m_32.dll");
  HMODULE visa = Load("visa32.dll");
  ASSERT_TRUE(driver && visa);
  auto list = Lookup<KvFn_kv740m_listVisa_Q>(driver, "kv740m_listVisa_Q");
  auto init = Lookup<KvFn_kv740m_init>(driver, "kv740m_init");
  auto message = Lookup<KvFn_kv740m_error_message>(driver, "kv740m_error_message");
  auto openDefault = Lookup<ViFn_viOpenDefaultRM>(visa, "viOpenDefaultRM");
  int32_t count = 3;
  char addresses[5000];
  const KvStatus status = list(0, 1, &count, addresses);
  EXPECT_LT(status, 0);
  EXPECT_EQ(count, 0);
  KvSession session = 4;
  EXPECT_LT(init("GPIB0::20::INSTR", 1, 0, &session), 0);
  EXPECT_EQ(session, 0u);
  char text[256];
  message(0, status, text);
  EXPECT_EQ(std::string(text), "bench file \"" + bench + "\", line 9: \"slot\" must be between 0 and 17, not 18");
  ViSession manager = 7;
  EXPECT_EQ(openDefault(&manager), kViErrorSystem);
  EXPECT_EQ(manager, 0u);
}

// Run with BENCHSENTRY_BENCH naming sim/benches/two-tls.toml.
TEST(SimDllBenchFile, TheNamedBenchIsServed) {
  ASSERT_FALSE(EnvironmentValue("BENCHSENTRY_BENCH").empty()) << "BENCHSENTRY_BENCH is not set";
  HMODULE driver = Load("kv740m_32.dll");
  ASSERT_NE(driver, nullptr);
  auto list = Lookup<KvFn_kv740m_listVisa_Q>(driver, "kv740m_listVisa_Q");
  auto init = Lookup<KvFn_kv740m_init>(driver, "kv740m_init");
  auto slots = Lookup<KvFn_kv740m_getSlotInformation_Q>(driver, "kv740m_getSlotInformation_Q");
  int32_t count = 0;
  char addresses[5000];
  ASSERT_EQ(list(0, 1, &count, addresses), 0);
  EXPECT_STREQ(addresses, "GPIB0::20::INSTR,GPIB0::21::INSTR");
  for (const char* address : {"GPIB0::20::INSTR", "GPIB0::21::INSTR"}) {
    KvSession session = 0;
    ASSERT_EQ(init(address, 1, 0, &session), 0);
    int32_t types[18] = {};
    ASSERT_EQ(slots(session, 18, types), 0);
    EXPECT_EQ(types[0], 5) << address;
  }
}

}  // namespace
