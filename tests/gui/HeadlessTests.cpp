// benchsentry.exe /all under Wine, with no window to drive: the simulated bench's
// libraries beside it, the exit code, the console's messages and the files.
#include "tests/gui/BenchsentryFixture.h"

#include <nlohmann/json.hpp>

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

}  // namespace
}  // namespace gui
