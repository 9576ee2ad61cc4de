// benchsentry.exe /all under Wine, with no window to drive: the simulated bench's
// libraries beside it, the exit code, the console's messages and the files.
#include "tests/gui/BenchsentryFixture.h"

#include <map>
#include <regex>

#include <nlohmann/json.hpp>

#include "sim/SimBenchFile.h"
#include "sim/win32/SimPlaceCopies.h"
#include "tests/fakes/FakeText.h"

namespace gui {
namespace {

using Json = nlohmann::json;

struct CRunResult {
  DWORD exitCode = 0xFFFFFFFF;
  std::string output;
  std::string errors;
};

// What the ended program left in a pipe, without waiting for processes that may
// have inherited its other end.
std::string DrainPipe(HANDLE pipe) {
  std::string bytes;
  char buffer[4096];
  DWORD available = 0;
  DWORD read = 0;
  while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available > 0 &&
         ReadFile(pipe, buffer, sizeof buffer, &read, nullptr) && read > 0) {
    bytes.append(buffer, read);
  }
  return bytes;
}

class Headless : public BenchsentryTest {
 protected:
  void TearDown() override {
    BenchsentryTest::TearDown();
    SetEnvironmentVariableA("BENCHSENTRY_BENCH", nullptr);
    // The prefix is shared with the tests after this one.
    sim::RemovePlacedVisa(m_placed);
  }

  // Runs the staged program with arguments to its end, its output and error
  // output caught as a scheduler would catch them.
  CRunResult RunToEnd(const std::string& exe, const std::string& arguments) {
    CRunResult result;
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
    EXPECT_TRUE(CreatePipe(&outRead, &outWrite, &inherit, 1 << 16));
    EXPECT_TRUE(CreatePipe(&errRead, &errWrite, &inherit, 1 << 16));
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = outWrite;
    si.hStdError = errWrite;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi{};
    std::string commandLine = "\"" + exe + "\" " + arguments;
    const bool started = CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                                        m_dir.c_str(), &si, &pi);
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    EXPECT_TRUE(started) << commandLine;
    if (started) {
      // The run's output is a few lines: the pipes hold it until the end.
      EXPECT_EQ(WaitForSingleObject(pi.hProcess, 300000), WAIT_OBJECT_0) << "the run did not end";
      result.output = DrainPipe(outRead);
      result.errors = DrainPipe(errRead);
      GetExitCodeProcess(pi.hProcess, &result.exitCode);
      CloseHandle(pi.hThread);
      CloseHandle(pi.hProcess);
    }
    CloseHandle(outRead);
    CloseHandle(errRead);
    return result;
  }

  // The report the program wrote, kept for the schema check (gui.json-schema).
  Json KeepReport(const std::string& path, const std::string& name) {
    const std::string folder = JoinPath(Env().resultsDir, "json");
    EXPECT_TRUE(MakeDirs(folder) && CopyFileTo(path, JoinPath(folder, name + ".json"))) << path;
    return Json::parse(ReadFile(path));
  }

  sim::CPlacedVisa m_placed;
};

// What follows the header banner's line that holds title.
std::string AfterHeader(const std::string& text, const std::string& title) {
  const size_t line = text.find(title);
  if (line == std::string::npos) return std::string();
  return text.substr(text.find('\n', line) + 1);
}


TEST_F(Headless, AllOnTheDefaultAndTheFaultsBench) {
  const std::string exe = Stage("app", true);
  struct Case {
    const char* bench;
    const char* instrumentGolden;
  };
  const Case cases[] = {{nullptr, "instr_default_window.txt"}, {"faults.toml", nullptr}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bench ? c.bench : "default bench");
    SetEnvironmentVariableA("BENCHSENTRY_BENCH", c.bench ? JoinPath(Env().benches, c.bench).c_str() : nullptr);
    const std::string html = JoinPath(m_dir, "r.html");
    const std::string text = JoinPath(m_dir, "r.txt");
    const std::string json = JoinPath(m_dir, "r.json");
    const CRunResult run =
        RunToEnd(exe, "/all /html \"" + html + "\" /text \"" + text + "\" /json \"" + json + "\"");
    EXPECT_EQ(run.errors, "");
    const std::string report = ReadFile(text);
    // The exit code is the number of red verdicts, and the console says the same.
    EXPECT_EQ(run.exitCode, Count(report, " Layer Check FAILED!!!."));
    EXPECT_NE(run.output.find(std::to_string(run.exitCode) + " of 5 layers failed"), std::string::npos)
        << run.output;
    EXPECT_EQ(Count(report, "Layer check, "), 5u);
    // Written as Save writes it: in text mode.
    EXPECT_EQ(ReadFile(html).rfind(TextMode(kReportHead), 0), 0u);
    // The Instrument layer's text is the checks' own, with the data recorded beside
    // it (on the faults bench the GPIB layer before it reads the error queues).
    const std::string instrument = AfterHeader(report, "Instrument Layer check, ");
    if (c.instrumentGolden != nullptr) {
      const std::string golden =
          TextMode(AfterHeader(ReadFile(JoinPath(Env().golden, c.instrumentGolden)), "Instrument Layer check, "));
      EXPECT_EQ(instrument.substr(0, golden.size()), golden);
    }

    const Json results = KeepReport(json, c.bench ? c.bench : "default");
    EXPECT_EQ(results["failed_layers"], run.exitCode);
    const std::string instrumentOnly = instrument.substr(0, instrument.find("Optical Layer check, "));
    EXPECT_EQ(results["layers"][3]["mainframes"].size(), Count(instrumentOnly, "Details for "));
  }
}

// What two runs of one bench cannot share: dates and times, the free memory,
// which call was slowest.
std::string WithoutTimes(const std::string& text) {
  static const std::regex times(
      "[A-Z][a-z]+day, [A-Z][a-z]+ [0-9]{2}, [0-9]{4}, [0-9:]{8}|\"started\": \"[^\"]*\"|"
      "Free physical memory = (<[^>]*>)* *[0-9]+|\"free_kb\": [0-9]+|\"slowest\": \\{[^}]*\\}");
  return std::regex_replace(text, times, "VARIES");
}

TEST_F(Headless, TraceOfAllOnTheFaultsBenchHoldsEveryCallAndChangesNoReport) {
  const std::string exe = Stage("app", true);
  SetEnvironmentVariableA("BENCHSENTRY_BENCH", JoinPath(Env().benches, "faults.toml").c_str());
  std::map<std::string, std::string> reports[2];
  for (int traced = 0; traced < 2; ++traced) {
    const std::string base = JoinPath(m_dir, traced ? "traced" : "plain");
    std::string arguments = "/all";
    for (const char* kind : {"html", "text", "json"}) arguments += std::string(" /") + kind + " \"" + base + "." + kind + "\"";
    if (traced) arguments += " /trace \"" + base + ".trace\"";
    EXPECT_EQ(RunToEnd(exe, arguments).errors, "");
    for (const char* kind : {"html", "text", "json"}) reports[traced][kind] = ReadFile(base + "." + kind);
  }
  for (const char* kind : {"html", "text", "json"}) {
    EXPECT_EQ(WithoutTimes(reports[1][kind]), WithoutTimes(reports[0][kind])) << kind << " differs with /trace";
  }

  const std::string trace = ReadFile(JoinPath(m_dir, "traced.trace"));
  for (char c : trace) ASSERT_TRUE(c == '\t' || c == '\r' || c == '\n' || (c >= ' ' && c < 0x7F)) << int(c);
  const auto rows = TraceRows(trace);
  ASSERT_FALSE(rows.empty());
  double last = 0;
  for (size_t i = 0; i < rows.size(); ++i) {
    ASSERT_EQ(rows[i].size(), 11u) << i;
    EXPECT_EQ(rows[i][0], std::to_string(i + 1)) << "calls out of order";
    EXPECT_GE(std::stod(rows[i][1]), last) << i;
    last = std::stod(rows[i][1]);
  }
  // Each layer's calls, in the layers' order and as many as the JSON counts;
  // each error line the JSON ties to a call points at one that failed.
  const Json results = Json::parse(reports[1]["json"]);
  size_t at = 0;
  size_t tied = 0;
  for (const Json& layer : results["layers"]) {
    const std::string name = layer["name"];
    const size_t calls = layer["io"]["calls"];
    for (size_t k = at; k < at + calls && k < rows.size(); ++k) EXPECT_EQ(rows[k][3], name) << k;
    for (const Json& line : layer["io"]["error_lines"]) {
      if (line["call"].is_null()) continue;
      const size_t call = line["call"];
      ASSERT_TRUE(call > at && call <= at + calls) << name << ": " << line.dump();
      EXPECT_TRUE(rows[call - 1][6] == "error" || rows[call - 1][6] == "timeout") << line.dump();
      ++tied;
    }
    at += calls;
    // What the report shows stands in the trace: a mainframe detailed was
    // initialised, a system-error time-out is a query that timed out.
    auto count = [&](const char* function, const char* result, const char* argument) {
      size_t n = 0;
      for (const auto& row : rows) {
        n += row[3] == name && row[5] == function && (!*result || row[6] == result) && row[9].find(argument) != std::string::npos;
      }
      return n;
    };
    const std::string report = layer["report"];
    if (name == "Instrument") {
      EXPECT_EQ(count("kv740m_init", "", ""), Count(report, "Details for "));
    } else if (name == "GPIB") {
      EXPECT_EQ(count("viQueryf", "timeout", "SYST:ERR?"), Count(report, "System Error - Timeout"));
    }
  }
  // After the layers, /all takes the VISA inventory: its calls are no layer's.
  ASSERT_LE(at, rows.size());
  for (size_t k = at; k < rows.size(); ++k) {
    for (const Json& layer : results["layers"]) EXPECT_NE(rows[k][3], layer["name"].get<std::string>()) << k;
  }
  EXPECT_GT(tied, 0u);
}

TEST_F(Headless, BaselineOfItselfAndOfAChangedBench) {
  const std::string exe = Stage("app", true);
  const std::string good = JoinPath(m_dir, "good.json");
  const CRunResult alone = RunToEnd(exe, "/all /json \"" + good + "\"");
  // Against a baseline of itself: nothing changed, and the exit code is the run's own.
  const CRunResult same = RunToEnd(exe, "/all /baseline \"" + good + "\"");
  EXPECT_EQ(same.errors, "");
  EXPECT_EQ(same.exitCode, alone.exitCode);
  EXPECT_EQ(same.output.rfind(alone.output, 0), 0u) << same.output;
  EXPECT_EQ(same.output.substr(alone.output.size()).rfind("No change since the baseline of ", 0), 0u) << same.output;

  SetEnvironmentVariableA("BENCHSENTRY_BENCH", JoinPath(Env().benches, "changed.toml").c_str());
  const std::string json = JoinPath(m_dir, "changed.json");
  const CRunResult changed = RunToEnd(exe, "/all /baseline \"" + good + "\" /json \"" + json + "\"");
  EXPECT_EQ(changed.errors, "");
  EXPECT_EQ(changed.exitCode, alone.exitCode != 0 ? alone.exitCode : 10u);
  const std::string lines = changed.output.substr(changed.output.find("Changes since the baseline of "));
  EXPECT_EQ(lines.substr(lines.find("\n") + 1),
            "GPIB layer:\r\n"
            "  GPIB0::22::INSTR: firmware V3.12(4711) -> V3.14(5002)\r\n"
            "Instrument layer:\r\n"
            "  GPIB0::20::INSTR slot 12: module moved to slot 14\r\n"
            "Optical layer:\r\n"
            "  GPIB0::20::INSTR slot 1 channel 1: power -3.28 dBm -> -6.29 dBm (-3.01 dB)\r\n"
            "3 changes since the baseline\r\n");
  const Json results = KeepReport(json, "changed-since-default");
  EXPECT_EQ(results["changes"].size(), 3u);
}

TEST_F(Headless, RunThatCannotBeCarriedOutSaysWhy) {
  const std::string exe = Stage("app", true);
  struct Case {
    const char* arguments;
    DWORD exitCode;
    const char* message;
  };
  const Case cases[] = {
      {"/all /xml r.xml", 100, "benchsentry: unknown option /xml"},
      {"/all /json Z:\\no\\such\\folder\\r.json", 100,
       "benchsentry: cannot write the file \"Z:\\no\\such\\folder\\r.json\" (/json)"},
      {"/?", 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    const CRunResult run = RunToEnd(exe, c.arguments);
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_EQ(run.errors.rfind(c.message, 0), 0u) << run.errors;
    if (c.exitCode == 0) {
      EXPECT_EQ(run.output.rfind("Usage: benchsentry.exe /all", 0), 0u) << run.output;
    }
  }
}

TEST_F(Headless, IoAnswersTimesOutOrCannotOpenEachWithItsExitCode) {
  SetEnvironmentVariableA("BENCHSENTRY_BENCH", JoinPath(Env().benches, "instrument-io.toml").c_str());
  const std::string exe = Stage("app", true);
  const struct {
    bool visa;
    const char* arguments;
    DWORD exitCode;
    const char* output;
    const char* errors;
  } cases[] = {
      {true, "/io GPIB0::20::INSTR *IDN?", 0, "Velmora Technologies,VT7412A,DE00000101,V3.12(4711)\\n\r\n", ""},
      {true, "/io GPIB1::6::INSTR RAW? /timeout 300", 0, "\\x01<OK>\\xC3\\xBF\\n\r\n",
       "benchsentry: 3 bytes of the answer are not text; they are shown as \\xNN.\r\n"},
      {true, "/io GPIB1::6::INSTR \"OUTP ON\" /write", 0, "", ""},
      {true, "/io GPIB1::5::INSTR *IDN? /timeout 300", 20, "",
       "benchsentry: GPIB1::5::INSTR did not answer within 300 ms (0xBFFF0015 VI_ERROR_TMO)\r\n"},
      {true, "/io GPIB9::1::INSTR *IDN?", 21, "",
       "benchsentry: cannot open \"GPIB9::1::INSTR\": 0xBFFF0011 VI_ERROR_RSRC_NFOUND\r\n"},
      {false, "/io GPIB0::20::INSTR *IDN?", 22, "", "benchsentry: visa32.dll cannot be loaded.\r\n"},
      {true, "/io GPIB0::20::INSTR /read /write", 100, "", "benchsentry: /write and /read cannot go together\r\n"},
  };
  const std::string alone = Stage("alone", false);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    const CRunResult run = RunToEnd(c.visa ? exe : alone, c.arguments);
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_EQ(run.output, c.output);
    EXPECT_EQ(run.errors.substr(0, std::string(c.errors).size()), c.errors);
  }
}

// Two visa32.dll copies of different publishers, placed as the bench file says:
// the window, /visa's report and JSON name the loaded one, the other and the
// warning; /all /baseline after the loaded copy changed reports that first.
TEST_F(Headless, VisaLibrariesOfTwoPublishers) {
  const std::string exe = Stage("app", true);
  const std::string bench = JoinPath(Env().benches, "two-visa.toml");
  sim::SimBench read;
  std::string error;
  ASSERT_TRUE(sim::ReadBenchFile(bench, read, error)) << error;
  ASSERT_TRUE(sim::PlaceVisaCopies(read, Env().simDir, JoinPath(m_dir, "app"), m_dir, m_placed, error)) << error;
  SetEnvironmentVariableA("BENCHSENTRY_BENCH", bench.c_str());
  const std::string bits = std::to_string(sizeof(void*) * 8) + "-bit";
  const std::string loaded = "visa32.dll: version 1.0.0.0 \"1.0\", publisher Open Instrument Works, " + bits;
  const std::string other = "visa32.dll: version 74.1.1.0 \"J.01.01\", publisher Velmora Technologies, " + bits;
  const std::string warning = "######The 2 copies of visa32.dll a " + bits + " program could get differ";

  ASSERT_NO_FATAL_FAILURE(StartIn(m_dir, exe));
  ASSERT_NO_FATAL_FAILURE(Run(kVisaLibraries));
  Screenshot(".png");
  SendMessageA(GetDlgItem(m_app.MainWindow(), 1000), WM_VSCROLL, SB_TOP, 0);
  Screenshot(".top.png");
  const std::string window = m_app.ReportText();
  ASSERT_NO_FATAL_FAILURE(Close());
  const CRunResult run = RunToEnd(exe, "/visa /json v.json /text v.txt");
  EXPECT_EQ(run.exitCode, 1u) << run.output << run.errors;
  for (const std::string& report : {Without(window, "\r"), Without(ReadFile(JoinPath(m_dir, "v.txt")), "\r")}) {
    const std::string copies = Section(report, "app (program folder", "What the registry says");
    EXPECT_NE(copies.find(loaded), std::string::npos) << report;
    EXPECT_NE(copies.find(" - wins: first in the search order, loaded by this program\n"), std::string::npos);
    EXPECT_NE(copies.find(other, copies.find("(system folder")), std::string::npos) << report;
    EXPECT_NE(report.find(warning), std::string::npos) << report;
  }
  const Json visa = Json::parse(ReadFile(JoinPath(m_dir, "v.json")))["visa_libraries"];
  EXPECT_EQ(visa["loaded"]["publisher"], "Open Instrument Works");
  EXPECT_EQ(visa["copies"][1]["publisher"], "Velmora Technologies");
  EXPECT_EQ(visa["warnings"][0]["kind"], "copies_differ");

  RunToEnd(exe, "/all /json good.json");
  // Its VISA object as /all writes it, for the schema check.
  KeepReport(JoinPath(m_dir, "good.json"), "two-visa");
  ASSERT_TRUE(CopyFileTo(JoinPath(Env().simDir, "variants\\visa-maker-74109\\visa32.dll"),
                         JoinPath(JoinPath(m_dir, "app"), "visa32.dll")));
  const std::string changes = RunToEnd(exe, "/all /baseline good.json").output;
  const std::string lines = changes.substr(changes.find("Changes since the baseline of "));
  EXPECT_EQ(lines.substr(lines.find('\n') + 1).rfind("VISA libraries:\r\n"
                                                       "  visa32.dll loaded: version 1.0.0.0 -> 74.1.0.9\r\n"
                                                       "  visa32.dll loaded: publisher Open Instrument Works -> ",
                                                       0),
            0u)
      << changes;
}

}  // namespace
}  // namespace gui
