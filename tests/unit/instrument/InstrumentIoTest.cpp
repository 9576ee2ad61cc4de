// Talking to instruments by hand against the simulated bench: every action on
// every kind of instrument, the panel's text and the report compared with
// golden files; the texts a user types, as a table.
#include <gtest/gtest.h>

#include "instrument/InstrumentIo.h"
#include "tests/unit/instrument/InstrumentTestSupport.h"

namespace {

constexpr CIoAction kWrite = CIoAction::Write, kRead = CIoAction::Read, kQuery = CIoAction::Query,
                    kClear = CIoAction::DeviceClear, kStb = CIoAction::ReadStatusByte,
                    kErrors = CIoAction::ErrorQueue;
constexpr CIoLineEnd kLf = CIoLineEnd::Lf, kCrLf = CIoLineEnd::CrLf, kNone = CIoLineEnd::None;

class InstrumentIoTest : public InstrumentTest {
 protected:
  InstrumentIoTest() { Clock().SetTicksPerRead(1); }
};

TEST_F(InstrumentIoTest, EveryActionOnEveryKindOfInstrument) {
  AddVisa();
  bench.UseShipped("instrument-io.toml");
  const struct {
    CIoAction action;
    const char* resource;
    const char* typed;
    uint32_t timeout;
    CIoLineEnd lineEnd;
    CIoReadEnd readEnd;
  } steps[] = {
      {kQuery, "GPIB0::20::INSTR", "*IDN?", 2000, kLf, CIoReadEnd::LineEnd},
      {kQuery, "GPIB0::20::INSTR", "*IDN?", 2000, kLf, CIoReadEnd::EndOfMessage},
      {kStb, "GPIB0::20::INSTR", "", 2000, kLf, CIoReadEnd::LineEnd},
      {kWrite, "GPIB0::20::INSTR", "*CLS", 2000, kLf, CIoReadEnd::LineEnd},
      {kQuery, "GPIB0::20::INSTR", "BOGUS?", 1000, kLf, CIoReadEnd::LineEnd},
      {kQuery, "GPIB0::20::INSTR", "*STB?", 1000, kLf, CIoReadEnd::LineEnd},
      {kErrors, "GPIB0::20::INSTR", "", 1000, kLf, CIoReadEnd::LineEnd},
      {kQuery, "GPIB0::20::INSTR", "*OPC?", 1000, kLf, CIoReadEnd::LineEnd},
      {kClear, "GPIB0::20::INSTR", "", 1000, kLf, CIoReadEnd::LineEnd},
      {kQuery, "GPIB0::22::INSTR", "*IDN?", 1000, kLf, CIoReadEnd::LineEnd},
      // The wrong line end: no answer, and then a command that is none.
      {kQuery, "GPIB1::3::INSTR", "*IDN?", 500, kLf, CIoReadEnd::LineEnd},
      {kQuery, "GPIB1::3::INSTR", "*IDN?", 500, kCrLf, CIoReadEnd::LineEnd},
      {kClear, "GPIB1::3::INSTR", "", 500, kCrLf, CIoReadEnd::LineEnd},
      {kQuery, "GPIB1::3::INSTR", "*IDN?", 500, kCrLf, CIoReadEnd::LineEnd},
      {kWrite, "GPIB1::3::INSTR", "*OPC?\\r\\n", 500, kNone, CIoReadEnd::LineEnd},
      {kRead, "GPIB1::3::INSTR", "", 500, kNone, CIoReadEnd::LineEnd},
      // Late: the answer comes with the next read, and each query's after it.
      {kQuery, "GPIB1::4::INSTR", "*IDN?", 1000, kLf, CIoReadEnd::LineEnd},
      {kRead, "GPIB1::4::INSTR", "", 1000, kLf, CIoReadEnd::LineEnd},
      {kQuery, "GPIB1::4::INSTR", "*OPC?", 2000, kLf, CIoReadEnd::LineEnd},
      {kQuery, "GPIB1::5::INSTR", "*IDN?", 500, kLf, CIoReadEnd::LineEnd},
      {kStb, "GPIB1::5::INSTR", "", 500, kLf, CIoReadEnd::LineEnd},
      {kErrors, "GPIB1::5::INSTR", "", 500, kLf, CIoReadEnd::LineEnd},
      {kQuery, "GPIB1::6::INSTR", "meas:pow?", 2000, kLf, CIoReadEnd::LineEnd},
      {kWrite, "GPIB1::6::INSTR", "OUTP ON", 2000, kLf, CIoReadEnd::LineEnd},
      {kQuery, "GPIB1::6::INSTR", "RAW?", 2000, kLf, CIoReadEnd::LineEnd},
      {kQuery, "GPIB1::6::INSTR", "*IDN?", 2000, kLf, CIoReadEnd::LineEnd},
      {kErrors, "GPIB1::6::INSTR", "", 2000, kLf, CIoReadEnd::LineEnd},
  };
  CInstrumentIo io;
  CInstrumentIoReport report;
  Attach(report);
  std::string panel;
  for (const auto& step : steps) {
    std::string command;
    std::string problem;
    ASSERT_TRUE(step.typed[0] == '\0' || ParseIoCommand(step.typed, command, problem)) << problem;
    const CIoRecord record = io.Run(step.action, {step.resource, step.timeout, step.lineEnd, step.readEnd}, command);
    panel += IoTranscriptText(record);
    report.WriteAction(record);
  }
  ExpectGolden("io_panel.txt", panel);
  ExpectGolden("io_window.txt", Window());
  ExpectGolden("io_document.html", Document());
  EXPECT_EQ(SimDeviceClears("GPIB1::3::INSTR"), 1);
  // The panel's sessions and its resource manager close; nothing else was open.
  io.CloseAll();
  EXPECT_EQ(SimOpenVisaObjects(), 0u);
}

TEST_F(InstrumentIoTest, TypedTextsAreCheckedBeforeAnythingIsSent) {
  const struct {
    const char* typed;
    bool command;  // else a time-out
    const char* bytesOrProblem;
  } cases[] = {
      {"*IDN?", true, "*IDN?"},
      {"A\\tB\\\\C\\x0d\\x0A\\xfF", true, "A\tB\\C\r\n\xff"},
      {"", true, "Type a command to send, such as *IDN?"},
      {"\\x4", true, "The command has a backslash at position 1 that is none of \\n, \\r, \\t, \\\\ or \\x with two hexadecimal digits."},
      {"ok\\", true, "The command has a backslash at position 3 that is none of \\n, \\r, \\t, \\\\ or \\x with two hexadecimal digits."},
      {"*IDN?\\q", true, "The command has a backslash at position 6 that is none of \\n, \\r, \\t, \\\\ or \\x with two hexadecimal digits."},
      {"1", false, "1"},
      {" 600000 ", false, "600000"},
      {"0", false, "The time-out must be a whole number of milliseconds from 1 to 600000."},
      {"600001", false, "The time-out must be a whole number of milliseconds from 1 to 600000."},
      {"99999999999999999999", false, "The time-out must be a whole number of milliseconds from 1 to 600000."},
      {"2 s", false, "The time-out must be a whole number of milliseconds from 1 to 600000."},
      {"", false, "The time-out must be a whole number of milliseconds from 1 to 600000."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    std::string result;
    std::string problem;
    uint32_t milliseconds = 0;
    const bool ok = c.command ? ParseIoCommand(c.typed, result, problem)
                              : ParseIoTimeout(c.typed, milliseconds, problem);
    if (!c.command && ok) result = std::to_string(milliseconds);
    EXPECT_EQ(ok ? result : problem, c.bytesOrProblem);
    EXPECT_EQ(ok, problem.empty());
  }
  std::string bytes;
  std::string problem;
  EXPECT_FALSE(ParseIoCommand(std::string(kIoCommandMax + 1, 'A'), bytes, problem));
  EXPECT_EQ(problem, "The command is longer than 1024 characters.");
  EXPECT_EQ(VisibleBytes(bytes + "\x7f\x80 \\"), "\\x7F\\x80 \\\\");
}

TEST_F(InstrumentIoTest, WithoutVisaNothingIsCalled) {
  CInstrumentIo io;
  std::string problem;
  EXPECT_FALSE(io.Load(problem));
  EXPECT_EQ(problem, "visa32.dll cannot be loaded.");
  AddVisa("visa-no-findnext");
  EXPECT_TRUE(io.Load(problem));
  EXPECT_TRUE(io.FindResources().empty());
}

}  // namespace
