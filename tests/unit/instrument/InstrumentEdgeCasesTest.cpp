// The edge cases of the inventory, the measurement and the laser operations:
// what is asked once, what is switched when, what is held whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "instrument/GpibLayerCheck.h"
#include "instrument/OpticalLayerCheck.h"
#include "sim/SimExports.h"
#include "tests/fakes/FakeText.h"
#include "tests/unit/instrument/InstrumentTestSupport.h"

namespace {

using Calls = std::vector<std::string>;


const char kFailingListing[] = R"(format_version = 1
[listing]
fails = true
status = 0xBFFF0015
message = "GPIB bus <did not> answer"
[[mainframe]]
address = "GPIB0::20::INSTR"
identification = "Velmora Technologies,VT7412A,DE1,V3"
)";

const char kTwoLasers[] = R"(format_version = 1
[[mainframe]]
address = "GPIB0::20::INSTR"
identification = "Velmora Technologies,VT7412A,DE1,V3"
[[mainframe.slot]]
slot = 0
type = 5
identification = "Velmora Technologies,VT7451B,L1,V2"
[[mainframe.slot]]
slot = 9
type = 5
identification = "Velmora Technologies,VT7451B,L2,V2"
)";

class InstrumentEdgeCasesTest : public InstrumentTest {
 protected:
  void SetUp() override {
    AddDriver();
    AddVisa();
  }
};

TEST_F(InstrumentEdgeCasesTest, TheListingIsAskedOncePerObject) {
  CInstrLayerCheck check;
  Begin(check);
  std::string first;
  std::string second = "stale";
  int32_t count = 0;
  check.ListMainframes(first, count);
  EXPECT_EQ(count, 2);
  check.ListMainframes(second, count);
  EXPECT_EQ(second, first);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(check.OpenAllMainframes(), 2);
  EXPECT_EQ(Count(Window(), "it might take a long time up to 5 minutes"), 1u);
  EXPECT_EQ(DriverCalls({"kv740m_listVisa_Q"}).size(), 1u);
  // Opening all again opens every mainframe again but does not list again.
  EXPECT_EQ(check.OpenAllMainframes(), 2);
  EXPECT_EQ(DriverCalls({"kv740m_listVisa_Q"}).size(), 1u);
  EXPECT_EQ(DriverCalls({"kv740m_init"}).size(), 4u);
}

TEST_F(InstrumentEdgeCasesTest, AFailedListingIsAskedAgainAndEndsInTheLayersCode) {
  bench.Use(kFailingListing);
  const std::string listingFailed =
      "List could not be retrieved \r\n######Driver Error : ######GPIB bus <did not> answer\r\n";
  const struct {
    bool optical;
    const char* after;
    int32_t code;
  } cases[] = {
      {false,
       "######Could not find any device. Check the cable connection and weather an application is running "
       "on the mainframe \r\n",
       2},
      {true, "######No kv740m instruments found.\r\n", 13},
  };
  for (const auto& c : cases) {
    ReportFixture out;
    COpticalLayerCheck optical;
    CInstrLayerCheck instrument;
    CInstrLayerCheck& check = c.optical ? static_cast<CInstrLayerCheck&>(optical) : instrument;
    out.Attach(check);
    check.BeginWithDriver();
    check.Step();
    check.Step();
    check.Flush();
    EXPECT_EQ(check.Error(), c.code);
    EXPECT_NE(out.WindowText().find(listingFailed + c.after), std::string::npos) << out.WindowText();
    EXPECT_NE(out.Document().find("GPIB bus &lt;did not&gt; answer"), std::string::npos);
    std::string list;
    int32_t count = -5;
    check.ListMainframes(list, count);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(Count(out.WindowText(), "it might take a long time"), 2u);
    EXPECT_TRUE(DriverCalls({"kv740m_init", "kv740m_set_TLS_laserState"}).empty());
  }
}

TEST_F(InstrumentEdgeCasesTest, EachMainframesLasersAreOffBeforeTheNextIsOpened) {
  bench.Use(BenchOfMainframes(12, "GPIB0::%d::INSTR"));
  COpticalLayerCheck check;
  ASSERT_GT(RunWithDriver(check), 0);
  EXPECT_EQ(Count(Window(), "Mainframe test, GPIB0::"), 12u);
  EXPECT_EQ(Count(Window(), "Measurement result for channel 1: "), 12u);
  EXPECT_NE(Window().find("Mainframe test, GPIB0::12::INSTR:"), std::string::npos);
  const Calls calls = DriverCalls({"kv740m_init", "kv740m_set_TLS_laserState"});
  ASSERT_EQ(calls.size(), 36u);
  for (size_t i = 0; i < 12; ++i) {
    EXPECT_EQ(calls[3 * i], "kv740m_init(\"GPIB0::" + std::to_string(i + 1) + "::INSTR\",1,0,*)");
    EXPECT_EQ(calls[3 * i + 1].substr(0, 26), "kv740m_set_TLS_laserState(");
    EXPECT_EQ(calls[3 * i + 1].substr(calls[3 * i + 1].size() - 5), ",0,1)");
    EXPECT_EQ(calls[3 * i + 2].substr(calls[3 * i + 2].size() - 5), ",0,0)");
  }
  EXPECT_EQ(check.Error(), -1);
  EXPECT_NE(Window().find("Optical Layer Checked, result OK."), std::string::npos);
  // The same object opens all twelve again into twelve sessions, listing nothing anew.
  ASSERT_EQ(check.OpenAllMainframes(), 12);
  ASSERT_EQ(check.Sessions().size(), 12u);
  const std::set<KvSession> distinct(check.Sessions().begin(), check.Sessions().end());
  EXPECT_EQ(distinct.size(), 12u);
  EXPECT_EQ(distinct.count(0), 0u);
  EXPECT_EQ(DriverCalls({"kv740m_listVisa_Q"}).size(), 1u);
}

TEST_F(InstrumentEdgeCasesTest, EveryTunableLaserSettlesThreeSecondsOfTheClock) {
  bench.Use(kTwoLasers);
  CInstrLayerCheck check;
  Begin(check);
  KvSession session = 0;
  check.OpenMainframe("GPIB0::20::INSTR", session);
  int32_t codes[kSlotsPerMainframe] = {};
  // A query that fails (an unknown session) leaves no codes from before.
  std::fill(codes, codes + kSlotsPerMainframe, 5);
  EXPECT_LT(check.GetSlotTypes(session + 1000, codes), 0);
  EXPECT_EQ(std::count(codes, codes + kSlotsPerMainframe, 0), kSlotsPerMainframe);
  ASSERT_EQ(check.GetSlotTypes(session, codes), 0);
  // A clock read a tick apart: a settle that spun would read it thousands of times.
  Clock().SetTicksPerRead(1);
  const int32_t before = Clock().Ticks();
  const int32_t readsBefore = Clock().Reads();
  DriverJournal().clear();
  check.AllLasersOn(session, codes);
  const int32_t waited = Clock().Ticks() - before;
  EXPECT_GE(waited, 6000);
  EXPECT_LT(waited, 6000 + 2 * 100);
  EXPECT_LT(Clock().Reads() - readsBefore, 2 * 50);
  EXPECT_GT(Clock().Waited(), 5800);
  const std::string s = std::to_string(session);
  EXPECT_EQ(DriverJournal(), (Calls{"kv740m_set_TLS_parameters(" + s + ",0,1,3,1,0.001,0,1.544e-06)",
                                    "kv740m_set_TLS_laserState(" + s + ",0,1)",
                                    "kv740m_set_TLS_parameters(" + s + ",9,1,3,1,0.001,0,1.544e-06)",
                                    "kv740m_set_TLS_laserState(" + s + ",9,1)"}));
  // Switching off does not wait.
  const int32_t off = Clock().Ticks();
  check.AllLasersOff(session, codes);
  EXPECT_EQ(Clock().Ticks(), off);
  // A clock that cannot be read: 3 s of sleeping per laser end the settle.
  Clock().FailClock(true);
  const int32_t sleptBefore = Clock().Waited();
  check.AllLasersOn(session, codes);
  EXPECT_EQ(Clock().Waited() - sleptBefore, 6000);
  Clock().FailClock(false);
}

TEST_F(InstrumentEdgeCasesTest, AWarningKeepsTheAnswerAndTheVerdict) {
  bench.Use(std::string(kTwoLasers) +
            "[[mainframe.fault]]\nfunction = \"kv740m_getInstrumentId_Q\"\nstatus = 0x3FFC0901\n"
            "[[mainframe.fault]]\nfunction = \"kv740m_cmdString_Q\"\nstatus = 0x3FFC0902\n");
  CInstrLayerCheck check;
  ASSERT_GT(RunWithDriver(check), 0);
  EXPECT_NE(Window().find("InstrumentID: Velmora Technologies,VT7412A,DE1,V3\r\n"), std::string::npos);
  EXPECT_NE(Window().find("ID string: Velmora Technologies,VT7451B,L2,V2\r\n"), std::string::npos);
  EXPECT_NE(Window().find("Instrument Layer Checked, result OK."), std::string::npos) << Window();
  std::string model;
  EXPECT_GT(check.GetMainframeModel("GPIB0::20::INSTR", model), 0);
  EXPECT_EQ(model, "VT7412A");
}

// A listing with an address no fixed buffer of the old sizes would hold.
const char kLongAlias[] = "GPIB0::20::INSTR<bench-rack-4&left-mainframe-alias>";
KvStatus BS_STDCALL ListWithLongAlias(int32_t, int32_t, int32_t* count, char* list) {
  std::strcpy(list, "GPIB0::20::INSTR,");
  std::strcat(list, kLongAlias);
  *count = 2;
  return 0;
}

TEST_F(InstrumentEdgeCasesTest, AnAddressLongerThanThirtyCharactersIsHeldWhole) {
  FakeLibraries::Exports exports;
  for (const SimExport& entry : *SimLibraryExports("kv740m_32.dll")) {
    exports[entry.name] = JournaledDriverFunction(entry.name);
  }
  exports["kv740m_listVisa_Q"] = reinterpret_cast<void*>(&ListWithLongAlias);
  FakeLibraries table;
  table.AddLibrary("kv740m_32.dll", exports);
  Platform platform = GetPlatform();
  platform.libraries = &table;
  SetPlatform(platform);
  CInstrLayerCheck check;
  ASSERT_GT(RunWithDriver(check), 0);
  EXPECT_NE(Window().find(std::string("Details for ") + kLongAlias + ":\r\n"), std::string::npos);
  EXPECT_NE(Document().find("Details for GPIB0::20::INSTR&lt;bench-rack-4&amp;left-mainframe-alias&gt;:"),
            std::string::npos);
  EXPECT_EQ(DriverCalls({"kv740m_init"}).back(), std::string("kv740m_init(\"") + kLongAlias + "\",1,0,*)");
  EXPECT_EQ(check.OpenAllMainframes(), 2);
}

TEST_F(InstrumentEdgeCasesTest, LaserReadBackLabelsAndModels) {
  bench.UseShipped("two-tls.toml");
  CInstrLayerCheck check;
  Begin(check);
  ASSERT_EQ(check.OpenAllMainframes(), 2);
  const KvSession first = check.Sessions()[0];
  const KvSession second = check.Sessions()[1];
  std::string label;
  check.GetSlotLabel(4, second, label);
  EXPECT_EQ(label, "VT7462A, SLOT4");
  check.GetSlotLabel(7, second, label);  // an empty slot answers with no fields
  EXPECT_EQ(label.substr(label.size() - 7), ", SLOT7");
  std::string model;
  EXPECT_EQ(check.GetMainframeModel("GPIB0::21::INSTR", model), 0);
  EXPECT_EQ(model, "VT7412A");

  EXPECT_EQ(check.SetLaserState(first, 1, 0, 2), 1);
  const struct {
    KvSession session;
    bool asked;  // the optical output is asked
    int32_t output;
  } cases[] = {{first, true, 2}, {second, false, 42}};
  for (const auto& c : cases) {
    DriverJournal().clear();
    uint16_t state = 9;
    int32_t output = 42;
    check.GetLaserStatus(c.session, 0, state, output);
    EXPECT_EQ(state, c.session == first ? 1 : 0);
    EXPECT_EQ(output, c.output);
    EXPECT_EQ(DriverCalls({"kv740m_get_TLS_opticalOutput_Q"}).size(), c.asked ? 1u : 0u);
  }
  EXPECT_EQ(check.SetLaserState(first, 0, 0, 0), 0);
}

TEST_F(InstrumentEdgeCasesTest, ADriverWithoutTheOutputQueryLeavesTheOutputAlone) {
  FakeLibraries table;
  ASSERT_TRUE(table.AddSimLibrary("kv740m_32.dll", "no-optical-output"));
  Platform platform = GetPlatform();
  platform.libraries = &table;
  SetPlatform(platform);
  CInstrLayerCheck check;
  Begin(check);
  ASSERT_EQ(check.OpenAllMainframes(), 2);
  uint16_t state = 9;
  int32_t output = 42;
  check.GetLaserStatus(check.Sessions()[0], 0, state, output);
  EXPECT_EQ(output, 42);
  EXPECT_EQ(state, 0);
}

TEST_F(InstrumentEdgeCasesTest, ALockedLaserReadsBackItsRealState) {
  bench.UseShipped("faults.toml");
  CInstrLayerCheck check;
  Begin(check);
  KvSession session = 0;
  check.OpenMainframe("GPIB0::20::INSTR", session);
  check.Flush();
  const size_t before = Window().size();
  EXPECT_EQ(check.SetLaserState(session, 1, 0, 0), 0);
  check.Flush();
  EXPECT_EQ(Count(Window().substr(before), "Check if your TLS is unlocked."), 2u);
  EXPECT_EQ(check.Error(), 1000);
}

// A real VISA library writes the whole answer; the scan reads it in bounded
// pieces and writes it whole.
TEST_F(InstrumentEdgeCasesTest, EveryVisaAnswerIsWrittenWhole) {
  const struct {
    size_t idn;
    size_t error;
  } cases[] = {{300, 10000}, {10000, 300}};
  for (const auto& c : cases) {
    const std::string idn = "Velmora Technologies,VT7412A," + std::string(c.idn - 29, 'i');
    const std::string error = "-100,\"" + std::string(c.error - 7, 'e') + "\"";
    // The second one's failed close asks it for its error.
    bench.Use("format_version = 1\n[[instrument]]\naddress = \"GPIB0::7::INSTR\"\nidentification = \"" + idn +
              "\"\n[[instrument]]\naddress = \"GPIB0::8::INSTR\"\nidentification = \"x\"\n"
              "visa_close_fails = true\nsystem_error = '" + error + "'\n");
    ReportFixture out;
    CGpibLayerCheck check;
    ASSERT_GT(out.Run(check), 0);
    EXPECT_NE(out.WindowText().find("Instrument: " + idn + "\r\nresource closed"), std::string::npos);
    EXPECT_NE(out.WindowText().find("Instrument: x" + error + "_____"), std::string::npos);
  }
}

TEST_F(InstrumentEdgeCasesTest, AVisaLackingAFunctionCountsAsNoResource) {
  FakeLibraries table;
  ASSERT_TRUE(table.AddSimLibrary("visa32.dll", "visa-no-findnext"));
  Platform platform = GetPlatform();
  platform.libraries = &table;
  SetPlatform(platform);
  CGpibLayerCheck check;
  ASSERT_GT(report.Run(check), 0);
  EXPECT_EQ(Count(Window(), "viFindNext not found in visa32.dll"), 1u);
  EXPECT_EQ(Window().find("Found resource"), std::string::npos);
  EXPECT_NE(Window().find("######viFindNext not found in visa32.dll\r\n######Could not find any resource on GPIB\r\n"),
            std::string::npos);
}

}  // namespace
