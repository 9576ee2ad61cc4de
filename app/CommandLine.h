#pragma once
// The program's options: none for the dialog as always, /all for a run without
// a person (a scheduler's or a lab script's), /visa for the VISA Libraries
// check alone, /compare for two saved reports, /io for one instrument by hand,
// /? for the usage.
#include <cstdint>
#include <string>
#include <vector>

enum class RunMode { Interactive, Usage, DiagnoseAll, VisaLibraries, Compare, Io, Invalid };

// A power reading counts as changed when it moved by more than this.
constexpr double kDefaultToleranceDb = 1.0;

// /io: one instrument talked to by hand.
struct CIoOptions {
  std::string resource;
  std::string command;  // as typed, escapes not yet read
  uint32_t timeoutMs = 2000;
  bool writeOnly = false;
  bool readOnly = false;
};

struct CRunOptions {
  RunMode mode = RunMode::Interactive;
  std::string htmlFile;
  std::string textFile;
  std::string jsonFile;
  std::string traceFile;  // every call into the bench libraries, one line each
  // /all: the JSON report of a run to compare with; /compare: the older report.
  std::string baselineFile;
  std::string compareFile;  // /compare: the newer report
  double toleranceDb = kDefaultToleranceDb;
  CIoOptions io;
  // For Invalid: what is wrong, naming the option.
  std::string problem;
};

// Exit codes besides the number of failed layers (0 to 5), which always wins.
constexpr int kExitUsage = 0;
constexpr int kExitChanged = 10;  // no layer failed, but the bench differs from its baseline
constexpr int kExitRunFailed = 100;
constexpr int kExitBadReport = 101;  // a baseline or report that cannot be read or is not ours
// Of /io: 0 when answered (or written).
constexpr int kExitIoTimeout = 20;
constexpr int kExitIoCannotOpen = 21;
constexpr int kExitIoNoVisa = 22;
constexpr int kExitIoFailed = 23;  // any other VISA error

extern const char kUsageText[];

// The arguments as the C runtime splits a Windows command line: blanks separate,
// double quotes group, a backslash escapes a quote.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);
// commandLine holds the arguments only, without the program's name.
CRunOptions ParseCommandLine(const std::string& commandLine);
// What the parsers share: the text in lower case, whether an argument is an
// option (/name or -name), and the options of a line that is wrong.
std::string Lower(std::string text);
bool IsOption(const std::string& argument);
CRunOptions Invalid(const std::string& problem);
// The arguments of a line that holds /io (app/IoCommand.cpp).
CRunOptions ParseIoCommandLine(const std::vector<std::string>& arguments);
// Runs /io; returns the exit code.
int RunIoCommand(const CIoOptions& options);
