// The trace line each kind of call into the bench libraries gives, through the
// generated binding and the traced loading, against the simulated bench.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

#include "host/ZebFunctions.h"
#include "instrument/VisaFunctions.h"
#include "tests/unit/instrument/InstrumentTestSupport.h"

namespace {

class CallTraceTest : public InstrumentTest {
 protected:
  CallTraceTest() {
    AddDriver();
    AddVisa();
    EXPECT_TRUE(libraries.AddSimLibrary("zeb_32.dll"));
  }
};

// The last line of a trace, without its time columns (the fake clock's).
std::string LastCall(const CTraceLog& log) {
  const std::string text = log.Text({});
  const size_t end = text.rfind('\n');
  const size_t start = text.rfind('\n', end - 1) + 1;
  std::string line = text.substr(start, end - start);
  const size_t source = line.find('\t', line.find('\t', line.find('\t') + 1) + 1);
  return line.substr(0, line.find('\t')) + line.substr(source);
}

TEST_F(CallTraceTest, EachKindOfCallGivesItsLine) {
  KvDriverTable kv;
  ViTable visa;
  ZebTable zeb;
  KvSession session = 0;
  ViSession manager = 0;
  ViSession instrument = 0;
  auto open = [&] {
    kv.Load(*GetPlatform().libraries, "kv740m_32.dll");
    visa.Load(*GetPlatform().libraries, "visa32.dll");
    kv.kv740m_init("GPIB0::20::INSTR", 1, 0, &session);
    visa.viOpenDefaultRM(&manager);
    visa.viOpen(manager, "GPIB0::20::INSTR", 0, 0, &instrument);
  };
  const struct {
    const char* kind;
    std::function<void()> call;
    const char* line;
  } cases[] = {
      {"load", [&] { zeb.Load(*GetPlatform().libraries, "zeb_32"); },
       "1\t-\tzeb_32.dll\tLoadLibrary\tok\t-\t-\tname=\"zeb_32\"\tpath=\"C:\\\\WINNT\\\\system32\\\\zeb_32.dll\""},
      {"plain", [&] { kv.kv740m_set_TLS_laserState(session, 0, 1); },
       "6\t-\tkv740m_32.dll\tkv740m_set_TLS_laserState\tok\t0 (0x00000000)\tVI_SUCCESS\t"
       "session={S}, slot=0, state=1\t-"},
      {"output buffer", [&] { char id[kKvIdentificationSize] = {}; kv.kv740m_getInstrumentId_Q("GPIB0::20::INSTR", id); },
       "6\t-\tkv740m_32.dll\tkv740m_getInstrumentId_Q\tok\t0 (0x00000000)\tVI_SUCCESS\t"
       "address=\"GPIB0::20::INSTR\"\tidentification=\"Velmora Technologies,VT7412A,DE00000101,V3.12(4711)\""},
      {"formatted query", [&] {
         char answer[257] = {};
         ViInt32 count = 256;
         visa.viQueryf(instrument, "%s\n", "%#t", "SYST:ERR?", &count, answer);
       },
       "6\t-\tvisa32.dll\tviQueryf\tok\t0 (0x00000000)\tVI_SUCCESS\tsession={I}, writeFormat=\"%s\\n\", "
       "readFormat=\"%#t\", written=\"SYST:ERR?\\n\"\tcount=13, read=\"+0,\\\"No error\\\"\""},
      {"list", [&] { int32_t types[kSlotsPerMainframe] = {}; kv.kv740m_getSlotInformation_Q(session, kSlotsPerMainframe, types); },
       "6\t-\tkv740m_32.dll\tkv740m_getSlotInformation_Q\tok\t0 (0x00000000)\tVI_SUCCESS\tsession={S}, "
       "count=18\tslotTypes=[5, 1, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 6, 0, 0, 0, 0, 0]"},
      {"failing status", [&] { ViSession none = 0; visa.viOpen(manager, "GPIB7::1::INSTR\r\x01", 0, 0, &none); },
       "6\t-\tvisa32.dll\tviOpen\terror\t-1073807342 (0xBFFF0012)\tVI_ERROR_INV_RSRC_NAME\tresourceManager={M}, "
       "description=\"GPIB7::1::INSTR\\r\\x01\", accessMode=0, openTimeout=0\tsession=0 (0x00000000)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    CTraceLog log;
    {
      const CTraceSession session(&log);
      if (std::string(c.kind) != "load") open();
      c.call();
    }
    // The handles are the simulated bench's, in decimal and hex.
    std::string line = c.line;
    for (const auto& handle : {std::make_pair("{S}", session), {"{M}", manager}, {"{I}", instrument}}) {
      const size_t at = line.find(handle.first);
      if (at != std::string::npos) line.replace(at, 3, DecimalAndHex(handle.second, false));
    }
    EXPECT_EQ(LastCall(log), line);
  }
}

// A window's trace keeps its last calls and says which it dropped; Clear forgets them.
TEST(CallTraceLog, KeepsTheLastCallsAndSaysWhichWereDropped) {
  CTraceLog log(2);
  for (uint32_t call = 1; call <= 5; ++call) log.Add(call, "call " + std::to_string(call));
  EXPECT_EQ(log.Text({"note"}), std::string("# note\n# 3 older calls (1 to 3) are not in this file: only the last 2 "
                                            "calls are kept\n") + kTraceColumns + "\ncall 4\ncall 5\n");
  log.Clear();
  EXPECT_EQ(log.Text({}), std::string(kTraceColumns) + "\n");
}

// Every entry declares one role per parameter, so no argument is shown as another.
TEST_F(CallTraceTest, EveryListEntryHasARolePerParameter) {
#define BS_TEST_DRIVER(number, name, params, roles) {#name, #params, KvTraced_##name::Function().Count()},
#define BS_TEST_VISA(number, name, convention, params, roles) {#name, #params, ViTraced_##name::Function().Count()},
#define BS_TEST_ZEB(number, name, params, roles) {#name, #params, ZebTraced_##name::Function().Count()},
  const struct {
    const char* name;
    const char* params;
    size_t roles;
  } entries[] = {BS_DRIVER_FUNCTIONS(BS_TEST_DRIVER) BS_VISA_FUNCTIONS(BS_TEST_VISA) BS_ZEB_FUNCTIONS(BS_TEST_ZEB)};
#undef BS_TEST_DRIVER
#undef BS_TEST_VISA
#undef BS_TEST_ZEB
  for (const auto& entry : entries) {
    EXPECT_EQ(CTracedFunction::ParameterNames(entry.params).size(), entry.roles) << entry.name;
  }
}

}  // namespace
