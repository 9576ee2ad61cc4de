// Loading and checking the driver, reporting its errors, opening mainframes
// and the two trigger set-ups, against the simulated driver and its variants.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/unit/instrument/InstrumentTestSupport.h"

namespace {

using Calls = std::vector<std::string>;

const char kInvalidTaskLine[] = "An error detected in task number \r\n";
const char kFailed[] = "######_______________________________\r\nInstrument Layer Check FAILED!!!. \r\n\r\n";

class DriverBindingTest : public InstrumentTest {};

TEST_F(DriverBindingTest, EachDriverVariantGivesItsMessageAndCode) {
  const struct {
    const char* variant;  // null: no library at all
    int result;
    const char* written;
  } cases[] = {
      {nullptr, 100, "######Could not load kv740m_32.dll, please run the ZELK layer check first\r\n"},
      {"no-init", 3, "kv740m_init not found in kv740m_32.dll"},
      {"no-error-message", 12, "kv740m_error_message kv740m_32.dll"},
      {"no-timeout", 36, "kv740m_timeOut not found in kv740m_32.dll"},
      {"no-optical-output", 0, ""},
      {"", 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.variant != nullptr ? c.variant : "no library");
    FakeLibraries table;
    Platform platform = GetPlatform();
    platform.libraries = &table;
    SetPlatform(platform);
    if (c.variant != nullptr) {
      ASSERT_TRUE(table.AddSimLibrary("kv740m_32.dll", c.variant));
    }
    ReportFixture out;
    CInstrLayerCheck check;
    out.Attach(check);
    EXPECT_EQ(check.BeginWithDriver(), c.result);
    EXPECT_EQ(check.DriverStatus(), c.result);
    const std::string banner = ReportFixture::PlainBanner("Instrument ");
    check.Flush();
    EXPECT_EQ(out.WindowText(), banner + c.written);
    EXPECT_EQ(check.Error(), c.result);
    EXPECT_EQ(check.Task(), c.result != 0 ? 4 : 1);
    if (c.result != 0) {
      ReportFixture::StepToEnd(check);
      EXPECT_EQ(out.WindowText(), banner + c.written + kInvalidTaskLine + kFailed);
      // No instrument was touched.
      EXPECT_TRUE(DriverJournal().empty());
    }
    DriverJournal().clear();
  }
}

TEST_F(DriverBindingTest, EveryCheckLoadsTheDriverAgainAndNeverUnloadsIt) {
  AddDriver();
  for (int i = 0; i < 2; ++i) {
    CInstrLayerCheck check;
    Begin(check);
  }
  EXPECT_EQ(libraries.LoadCount(std::string(FakeLibraries::kSystemDirectory) + "\\kv740m_32.dll"), 2);
}

TEST_F(DriverBindingTest, DriverErrorsAreReportedByTheirKind) {
  bench.UseShipped("faults.toml");
  AddDriver();
  CInstrLayerCheck check;
  Begin(check);
  KvSession session = 0;
  ASSERT_EQ(check.Driver().kv740m_init("GPIB0::20::INSTR", 1, 0, &session), 0);
  const size_t start = Window().size();
  const struct {
    KvStatus status;
    const char* written;
    const char* callsAfter;  // the driver calls the report made
    int32_t error;
  } cases[] = {
      {0, "", "", 0},
      {5, "", "", 0},
      {kKvInstrumentError, "######\r\nInstrument Error : ######Data out of range\r\n",
       "kv740m_error_query,kv740m_cls", 1000},
      {static_cast<KvStatus>(0xBFFF003Eu), "######Driver Error : ######I/O error\r\n",
       "kv740m_error_message,kv740m_cls", 1000},
  };
  size_t written = start;
  for (const auto& c : cases) {
    DriverJournal().clear();
    const int result = check.ReportDriverError(session, c.status);
    check.Flush();
    if (c.status >= 0) {
      EXPECT_EQ(result, c.status);
    }
    EXPECT_EQ(Window().substr(written), c.written) << c.status;
    written = Window().size();
    std::string names;
    for (const std::string& call : DriverJournal()) names += (names.empty() ? "" : ",") + call.substr(0, call.find('('));
    EXPECT_EQ(names, c.callsAfter) << c.status;
    if (c.error != 0) {
      EXPECT_EQ(check.Error(), c.error);
    }
  }
}

TEST_F(DriverBindingTest, APresetFollowsAFailedInit) {
  bench.UseShipped("faults.toml");
  AddDriver();
  CInstrLayerCheck check;
  Begin(check);
  KvSession session = 7;
  check.OpenMainframe("GPIB0::22::INSTR", session);
  check.Flush();
  EXPECT_EQ(DriverCalls({"kv740m_init", "kv740m_preset"}),
            (Calls{"kv740m_init(\"GPIB0::22::INSTR\",1,0,*)", "kv740m_preset(0)"}));
  EXPECT_NE(Window().find("######Driver Error : ######Mainframe does not answer the initialisation\r\n"
                          "Performing pnp driver function 'kv740m_preset'\r\n"),
            std::string::npos);
  EXPECT_EQ(check.Error(), 1000);
}

TEST_F(DriverBindingTest, TriggerSetUpsMakeTheirCallsInOrder) {
  AddDriver();
  CInstrLayerCheck check;
  Begin(check);
  KvSession session = 0;
  check.OpenMainframe("GPIB0::20::INSTR", session);
  DriverJournal().clear();
  EXPECT_EQ(check.PrepareTriggering(session), 0);
  EXPECT_EQ(check.ConfigureTlsSweep(session), 0);
  const std::string s = std::to_string(session);
  EXPECT_EQ(DriverJournal(), (Calls{"kv740m_forceTransaction(" + s + ",1)", "kv740m_errorQueryDetect(" + s + ",1)",
                                    "kv740m_standardTriggerConfiguration(" + s + ",3,0,0,0)",
                                    "kv740m_set_TLS_triggerConfiguration(" + s + ",0,0,2)",
                                    "kv740m_set_TLS_sweep(" + s + ",0,2,0,1,0,0,1.545e-06,1.555e-06,1e-09,5e-09)"}));
  EXPECT_EQ(check.Error(), 0);
}

}  // namespace
