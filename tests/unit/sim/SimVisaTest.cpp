#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/SimStatus.h"
#include "sim/SimVersions.h"
#include "sim/SimVisaPattern.h"
#include "tests/unit/sim/SimTestSupport.h"

namespace {

class SimVisaTest : public SimTest {
 protected:
  ViSession Manager() {
    ViSession manager = 0;
    EXPECT_EQ(visa.viOpenDefaultRM(&manager), kViSuccess);
    EXPECT_NE(manager, 0u);
    return manager;
  }
  ViSession OpenResource(ViSession manager, const char* address) {
    ViSession session = 0;
    EXPECT_EQ(visa.viOpen(manager, address, 0, 0, &session), kViSuccess) << address;
    return session;
  }
  ViStatus Idn(ViSession session, std::string& answer) {
    char text[4096] = "stale";
    ViStatus status = visa.viQueryf(session, "*IDN?\n", "%t", text);
    answer = text;
    return status;
  }
  ViStatus SystemError(ViSession session, std::string& answer) {
    char text[256] = "stale";
    ViStatus status = visa.viQueryf(session, "%s\n", "%t", "SYST:ERR?", text);
    answer = text;
    return status;
  }
};

TEST_F(SimVisaTest, FindsEveryResourceOfABoardInTurn) {
  const ViSession manager = Manager();
  ViFindList list = 0;
  ViUInt32 count = 0;
  char description[256];
  ASSERT_EQ(visa.viFindRsrc(manager, "GPIB0::?*INSTR", &list, &count, description), kViSuccess);
  EXPECT_EQ(count, 2u);
  EXPECT_STREQ(description, "GPIB0::20::INSTR");
  EXPECT_EQ(visa.viFindNext(list, description), kViSuccess);
  EXPECT_STREQ(description, "GPIB0::22::INSTR");
  EXPECT_EQ(visa.viFindNext(list, description), kViErrorResourceNotFound);
  EXPECT_STREQ(description, "");

  ASSERT_EQ(visa.viFindRsrc(manager, "GPIB1::?*INSTR", &list, &count, description), kViSuccess);
  EXPECT_EQ(count, 1u);
  EXPECT_STREQ(description, "GPIB1::7::INSTR");

  count = 5;
  EXPECT_EQ(visa.viFindRsrc(manager, "GPIB2::?*INSTR", &list, &count, description), kViErrorResourceNotFound);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(visa.viFindRsrc(manager, "GPIB(0)", &list, &count, description), kViErrorInvalidExpression);
  EXPECT_EQ(visa.viFindRsrc(manager + 777, "GPIB0::?*INSTR", &list, &count, description), kViErrorInvalidObject);
}

TEST_F(SimVisaTest, MainframesAndFurtherInstrumentsAnswer) {
  const ViSession manager = Manager();
  EXPECT_EQ(visa.viSetAttribute(manager, kViAttrTimeoutValue, 2000), kViSuccess);
  const ViSession a = OpenResource(manager, "GPIB0::20::INSTR");
  const ViSession other = OpenResource(manager, "GPIB1::7::INSTR");
  EXPECT_EQ(visa.viSetAttribute(a, kViAttrTimeoutValue, 2000), kViSuccess);
  EXPECT_EQ(visa.viSetAttribute(a, 0x3FFF0001u, 1), kViErrorNotSupportedAttribute);
  std::string answer;
  EXPECT_EQ(Idn(a, answer), kViSuccess);
  EXPECT_EQ(answer, "Velmora Technologies,VT7412A,DE00000101,V3.12(4711)");
  EXPECT_EQ(Idn(other, answer), kViSuccess);
  EXPECT_EQ(answer, "Oberon Instruments,DMM-3400,OB-118204,1.4.2");
  EXPECT_EQ(SystemError(a, answer), kViSuccess);
  EXPECT_EQ(answer, "+0,\"No error\"");
  char word[64];
  EXPECT_EQ(visa.viQueryf(other, "*IDN?\n", "%s", word), kViSuccess);
  EXPECT_STREQ(word, "Oberon");

  EXPECT_EQ(visa.viClose(a), kViSuccess);
  EXPECT_EQ(Idn(a, answer), kViErrorInvalidObject);
  EXPECT_EQ(answer, "");
  EXPECT_EQ(visa.viClose(a), kViErrorInvalidObject);
}

TEST_F(SimVisaTest, TheResourceManagerAndBadResourcesGiveNoAnswer) {
  const ViSession manager = Manager();
  std::string answer;
  EXPECT_EQ(SystemError(manager, answer), sim::kViErrorNotSupportedOperation);
  EXPECT_EQ(answer, "");
  EXPECT_EQ(SystemError(0, answer), kViErrorInvalidObject);
  EXPECT_EQ(answer, "");
  ViSession session = 9;
  EXPECT_EQ(visa.viOpen(manager, "GPIB0::9::INSTR", 0, 0, &session), kViErrorResourceNotFound);
  EXPECT_EQ(session, 0u);
  EXPECT_EQ(visa.viOpen(manager, "TCPIP::host", 0, 0, &session), kViErrorInvalidResourceName);
  char text[16];
  EXPECT_EQ(visa.viQueryf(OpenResource(manager, kMainframeA), "*IDN?\n", "%d", text), kViErrorNotSupportedFormat);
  EXPECT_EQ(visa.viQueryf(OpenResource(manager, kMainframeA), "MEAS?\n", "%t", text), kViErrorTimeout);
}

TEST_F(SimVisaTest, FaultsOfOpenCloseTimeoutsAndSystemErrors) {
  LoadBench("format_version = 1\n[visa]\ntimeout_delay_ms = 150\n"
            "[[instrument]]\naddress = \"GPIB0::1::INSTR\"\nidentification = \"A\"\nvisa_open_fails = true\n"
            "[[instrument]]\naddress = \"GPIB0::2::INSTR\"\nidentification = \"B\"\nvisa_close_fails = true\n"
            "system_error = \"-113,\\\"Undefined header\\\"\"\n"
            "[[instrument]]\naddress = \"GPIB0::3::INSTR\"\nidentification = \"C\"\nidn_timeout = true\n"
            "system_error_timeout = true\n"
            "[[instrument]]\naddress = \"GPIB0::4::INSTR\"\nidentification = \"<b>Odd & \\\"x\\\"</b>\"\n");
  const ViSession manager = Manager();
  ViSession session = 5;
  EXPECT_EQ(visa.viOpen(manager, "GPIB0::1::INSTR", 0, 0, &session), kViErrorResourceBusy);
  EXPECT_EQ(session, 0u);

  const ViSession closing = OpenResource(manager, "GPIB0::2::INSTR");
  EXPECT_EQ(visa.viClose(closing), sim::kViErrorClosingFailed);
  std::string answer;
  EXPECT_EQ(SystemError(closing, answer), kViSuccess);
  EXPECT_EQ(answer, "-113,\"Undefined header\"");

  const ViSession silent = OpenResource(manager, "GPIB0::3::INSTR");
  EXPECT_TRUE(Delays().empty());
  EXPECT_EQ(Idn(silent, answer), kViErrorTimeout);
  EXPECT_EQ(answer, "");
  EXPECT_EQ(SystemError(silent, answer), kViErrorTimeout);
  EXPECT_EQ(answer, "");
  EXPECT_EQ(Delays(), (std::vector<int32_t>{150, 150}));

  EXPECT_EQ(Idn(OpenResource(manager, "GPIB0::4::INSTR"), answer), kViSuccess);
  EXPECT_EQ(answer, "<b>Odd & \"x\"</b>");

  // Closing the resource manager closes what was opened through it.
  EXPECT_EQ(visa.viClose(manager), kViSuccess);
  EXPECT_EQ(SystemError(closing, answer), kViErrorInvalidObject);
}

TEST(SimVisaPattern, MatchesTheVisaExpressions) {
  using sim::MatchVisaPattern;
  using sim::PatternResult;
  EXPECT_EQ(MatchVisaPattern("GPIB0::?*INSTR", "GPIB0::20::INSTR"), PatternResult::kMatch);
  EXPECT_EQ(MatchVisaPattern("gpib0::?*instr", "GPIB0::20::INSTR"), PatternResult::kMatch);
  EXPECT_EQ(MatchVisaPattern("GPIB1::?*INSTR", "GPIB0::20::INSTR"), PatternResult::kNoMatch);
  EXPECT_EQ(MatchVisaPattern("GPIB1::?*INSTR", "GPIB10::2::INSTR"), PatternResult::kNoMatch);
  EXPECT_EQ(MatchVisaPattern("GPIB[0-1]::?*", "GPIB1::2::INSTR"), PatternResult::kMatch);
  EXPECT_EQ(MatchVisaPattern("GPIB[0-1]::?*", "GPIB2::2::INSTR"), PatternResult::kNoMatch);
  EXPECT_EQ(MatchVisaPattern("GPIB[9-1]::?*", "GPIB2::2::INSTR"), PatternResult::kInvalid);
  EXPECT_EQ(MatchVisaPattern("GPIB[01]::?*", "GPIB1::2::INSTR"), PatternResult::kMatch);
  EXPECT_EQ(MatchVisaPattern("GPIB[^0]::?*", "GPIB0::2::INSTR"), PatternResult::kNoMatch);
  EXPECT_EQ(MatchVisaPattern("GPIB0::2+::INSTR", "GPIB0::22::INSTR"), PatternResult::kMatch);
  EXPECT_EQ(MatchVisaPattern("ASRL?*|GPIB0::?*", "GPIB0::22::INSTR"), PatternResult::kMatch);
  EXPECT_EQ(MatchVisaPattern("?*", "anything"), PatternResult::kMatch);
  EXPECT_EQ(MatchVisaPattern("", "x"), PatternResult::kInvalid);
  EXPECT_EQ(MatchVisaPattern("*GPIB", "GPIB"), PatternResult::kInvalid);
  EXPECT_EQ(MatchVisaPattern("GPIB[0", "GPIB0"), PatternResult::kInvalid);
}

TEST(SimVisaPattern, HostilePatternsInTimeOfPatternTimesText) {
  using sim::MatchVisaPattern;
  using sim::PatternResult;
  std::string starred;  // "?*?*...?*Z": 33 characters that used to take seconds
  for (int i = 0; i < 16; ++i) starred += "?*";
  std::string plussed;  // the same with '+', which must still take one character each
  for (int i = 0; i < 8; ++i) plussed += "[A-Z0-9:]+";
  const std::string deep(100000, 'A');  // a token per character: no recursion
  const std::string text = "GPIB0::20::INSTR";
  struct Case {
    std::string pattern;
    std::string text;
    PatternResult result;
  } cases[] = {
      {starred + "Z", text, PatternResult::kNoMatch},
      {starred + "R", text, PatternResult::kMatch},
      {plussed + "Q", text, PatternResult::kNoMatch},
      {plussed, text, PatternResult::kMatch},
      {plussed, "GPIB0::2", PatternResult::kMatch},
      {plussed, "GPIB0::", PatternResult::kNoMatch},
      {deep, deep, PatternResult::kMatch},
      {deep + "*B", deep, PatternResult::kNoMatch},
      // A range that ends in a backslash closes at its ']'; the '|' after it separates.
      {"[ -\\]|GPIB?*", text, PatternResult::kMatch},
      {"[ -\\]|GPIB?*", "\\", PatternResult::kMatch},
      {"[ -\\]|GPIB?*", "|", PatternResult::kNoMatch},
      {"[|]", "|", PatternResult::kMatch},
      {"GPIB\\|", "GPIB|", PatternResult::kMatch},
      {"[\\]]", "]", PatternResult::kMatch},
      {"A||B", "A", PatternResult::kInvalid},
      {"A|", "A", PatternResult::kInvalid},
      {"A**", "A", PatternResult::kInvalid},
      {"A\\", "A", PatternResult::kInvalid},
      {"[^]", "A", PatternResult::kInvalid},
  };
  // A generous count: with backtracking this would not end within the test's time.
  for (int round = 0; round < 200; ++round) {
    for (const Case& c : cases) {
      if (round > 0 && c.pattern.size() > 1000) continue;
      ASSERT_EQ(MatchVisaPattern(c.pattern, c.text), c.result) << c.pattern.substr(0, 40) << " " << c.text;
    }
  }
}

TEST(SimZeb, ReportsItsVersion) {
  auto versionString = reinterpret_cast<ZebFn_ZebVersionString>(FindExport("zeb_32.dll", "ZebVersionString"));
  auto version = reinterpret_cast<ZebFn_ZebVersion>(FindExport("zeb_32.dll", "ZebVersion"));
  auto init = reinterpret_cast<ZebFn_ZebInit>(FindExport("zeb_32.dll", "ZebInit"));
  auto close = reinterpret_cast<ZebFn_ZebClose>(FindExport("zeb_32.dll", "ZebClose"));
  ASSERT_TRUE(versionString && version && init && close);
  std::vector<char> buffer(10000, '\x7f');
  versionString(buffer.data());
  EXPECT_STREQ(buffer.data(), "Zeb photonic library 3.2.1 (simulated bench)");
  int16_t a = 0, b = 0, c = 0;
  version(&a, &b, &c);
  EXPECT_EQ(a, 3);
  EXPECT_EQ(b, 2);
  EXPECT_EQ(c, 1);
  EXPECT_EQ(init(0, 0), 0);
  EXPECT_EQ(close(), 0);
}

TEST(SimExports, EveryLibraryAndVariantByName) {
  ASSERT_NE(SimLibraryExports("kv740m_32.dll"), nullptr);
  EXPECT_EQ(SimLibraryExports("kv740m_32.dll")->size(), 37u);
  EXPECT_EQ(SimLibraryExports("KV740M_32"), SimLibraryExports("kv740m_32.dll"));
  EXPECT_EQ(SimLibraryExports("Visa32.DLL")->size(), 13u);
  EXPECT_EQ(SimLibraryExports("zeb_32")->size(), 4u);
  EXPECT_EQ(SimLibraryExports("rz2290_32.dll"), nullptr);
  EXPECT_EQ(SimLibraryExports("kv740m_32.dll", "visa-ni-2500"), nullptr);
  EXPECT_EQ(SimLibraryExports("visa32.dll", "no-such-variant"), nullptr);

  struct Missing {
    const char* library;
    const char* variant;
    const char* name;
  };
  for (const Missing& m : {Missing{"kv740m_32.dll", "no-init", "kv740m_init"},
                           Missing{"kv740m_32.dll", "no-error-message", "kv740m_error_message"},
                           Missing{"kv740m_32.dll", "no-timeout", "kv740m_timeOut"},
                           Missing{"kv740m_32.dll", "no-optical-output", "kv740m_get_TLS_opticalOutput_Q"},
                           Missing{"visa32.dll", "visa-no-findnext", "viFindNext"},
                           Missing{"zeb_32.dll", "zeb-no-versionstring", "ZebVersionString"}}) {
    ASSERT_NE(SimLibraryExports(m.library, m.variant), nullptr) << m.variant;
    EXPECT_EQ(SimLibraryExports(m.library, m.variant)->size(), SimLibraryExports(m.library)->size() - 1);
    EXPECT_EQ(FindExport(m.library, m.name, m.variant), nullptr) << m.variant;
    EXPECT_NE(FindExport(m.library, m.name), nullptr) << m.name;
  }
  EXPECT_EQ(SimVariantNames("visa32"),
            (std::vector<std::string>{"visa-maker-74109", "visa-maker-74110", "visa-ni-2500", "visa-other",
                                      "visa-no-findnext", "visa-missing-dependency", "visa-other-image"}));
}

TEST(SimExports, VersionResourcesOfThePublishers) {
  const SimVersionInfo* maker = SimLibraryVersion("visa32.dll");
  ASSERT_NE(maker, nullptr);
  EXPECT_STREQ(maker->companyName, "Velmora Technologies");
  EXPECT_EQ(maker->fileVersionMS, 0x004A0001u);
  EXPECT_EQ(maker->fileVersionLS, 0x00010000u);
  EXPECT_EQ(SimLibraryVersion("visa32.dll", "visa-maker-74110"), maker);
  EXPECT_EQ(SimLibraryVersion("visa32.dll", "visa-maker-74109")->fileVersionLS, 0x00000009u);
  EXPECT_STREQ(SimLibraryVersion("visa32.dll", "visa-ni-2500")->companyName, "National Instruments");
  EXPECT_EQ(SimLibraryVersion("visa32.dll", "visa-ni-2500")->fileVersionMS, 0x00020005u);
  const char first = SimLibraryVersion("visa32.dll", "visa-other")->companyName[0];
  EXPECT_TRUE(first != 'V' && first != 'N');
  EXPECT_STREQ(SimLibraryVersion("kv740m_32.dll")->companyName, "Velmora Technologies");
  EXPECT_EQ(SimLibraryVersion("zeb_32.dll")->fileVersionMS, 0x00030002u);
}

}  // namespace
