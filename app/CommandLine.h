#pragma once
// The program's options: none for the dialog as always, /all for a run without
// a person (a scheduler's or a lab script's), /? for the usage.
#include <string>
#include <vector>

enum class RunMode { Interactive, Usage, DiagnoseAll, Invalid };

struct CRunOptions {
  RunMode mode = RunMode::Interactive;
  std::string htmlFile;
  std::string textFile;
  std::string jsonFile;
  // For Invalid: what is wrong, naming the option.
  std::string problem;
};

// Exit codes besides the number of failed layers.
constexpr int kExitUsage = 0;
constexpr int kExitRunFailed = 100;

extern const char kUsageText[];

// The arguments as the C runtime splits a Windows command line: blanks separate,
// double quotes group, a backslash escapes a quote.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);
// commandLine holds the arguments only, without the program's name.
CRunOptions ParseCommandLine(const std::string& commandLine);
