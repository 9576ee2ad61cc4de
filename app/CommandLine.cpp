#include "app/CommandLine.h"

#include <cctype>

const char kUsageText[] =
    "Usage: benchsentry.exe /all [/html FILE] [/text FILE] [/json FILE] [/trace FILE]\r\n"
    "                            [/baseline GOOD.json [/tolerance DB]]\r\n"
    "       benchsentry.exe /visa [/html FILE] [/text FILE] [/json FILE]\r\n"
    "       benchsentry.exe /compare OLD.json NEW.json [/tolerance DB]\r\n"
    "       benchsentry.exe /io RESOURCE COMMAND [/timeout MS] [/write]\r\n"
    "       benchsentry.exe /io RESOURCE /read [/timeout MS]\r\n"
    "\r\n"
    "  /all           run Diagnose All without asking anything, then exit\r\n"
    "  /visa          run only the VISA Libraries check: which visa32.dll this\r\n"
    "                 program loads and every copy on the PC; exit code 0 OK,\r\n"
    "                 1 FAILED\r\n"
    "  /html FILE     save the report as an HTML file\r\n"
    "  /text FILE     save the report as a text file\r\n"
    "  /json FILE     save the results as a JSON file\r\n"
    "  /trace FILE    save every call into the bench libraries, one line each,\r\n"
    "                 as a text file (tab-separated)\r\n"
    "  /baseline GOOD.json\r\n"
    "                 compare the run with the JSON report of a run when the bench\r\n"
    "                 worked: the changes go to the console and into every report\r\n"
    "  /compare OLD.json NEW.json\r\n"
    "                 show what changed between two JSON reports; runs nothing\r\n"
    "  /tolerance DB  a power reading counts as changed when it moved by more\r\n"
    "                 than DB decibels (default 1)\r\n"
    "  /io RESOURCE COMMAND\r\n"
    "                 write COMMAND and a line feed to the VISA resource (such as\r\n"
    "                 GPIB0::20::INSTR), read the answer up to its line feed and\r\n"
    "                 print it with control characters shown as \\r, \\n, \\t, \\xNN;\r\n"
    "                 in COMMAND \\n, \\r, \\t, \\\\ and \\xNN stand for those bytes\r\n"
    "  /timeout MS    the VISA time-out of /io in milliseconds, 1 to 600000\r\n"
    "                 (default 2000)\r\n"
    "  /write         /io writes COMMAND and reads nothing\r\n"
    "  /read          /io writes nothing and reads one answer\r\n"
    "  /?             show this text\r\n"
    "\r\n"
    "Without options the program opens its window as usual.\r\n"
    "Exit code: the number of layers that failed (0: all five OK);\r\n"
    "with /all the JSON report also holds the VISA Libraries check's findings,\r\n"
    "which do not change the exit code;\r\n"
    "10 when no layer failed but the bench differs from its baseline\r\n"
    "(with /compare: NEW.json's failed layers, else 10 when it differs from OLD.json);\r\n"
    "100 when the run could not be carried out;\r\n"
    "101 when a baseline or report cannot be read or is not one of benchsentry.\r\n"
    "Exit code of /io: 0 answered (or written), 20 no answer within the time-out,\r\n"
    "21 the resource cannot be opened, 22 VISA is missing, 23 another VISA error,\r\n"
    "100 a bad command line.\r\n"
    "From a command prompt: start /wait benchsentry.exe /all ...\r\n";

namespace {

// A decimal number of decibels, not negative: "1", "0.5", ".5".
bool ParseDecibels(const std::string& text, double& value) {
  value = 0;
  double scale = 0;  // 0 before the decimal point
  bool digits = false;
  for (char c : text) {
    if (c == '.' && scale == 0) {
      scale = 1;
      continue;
    }
    if (c < '0' || c > '9' || (scale == 0 && value >= 1e6)) return false;
    digits = true;
    if (scale == 0) {
      value = value * 10 + (c - '0');
    } else {
      scale /= 10;
      value += (c - '0') * scale;
    }
  }
  return digits;
}

}  // namespace

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool IsOption(const std::string& argument) {
  return !argument.empty() && (argument[0] == '/' || argument[0] == '-');
}

CRunOptions Invalid(const std::string& problem) {
  CRunOptions options;
  options.mode = RunMode::Invalid;
  options.problem = problem;
  return options;
}

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
  std::vector<std::string> arguments;
  std::string current;
  bool inArgument = false;
  bool quoted = false;
  for (size_t i = 0; i < commandLine.size(); ++i) {
    const char c = commandLine[i];
    if (c == '\\') {
      size_t slashes = 0;
      while (i < commandLine.size() && commandLine[i] == '\\') {
        ++slashes;
        ++i;
      }
      if (i < commandLine.size() && commandLine[i] == '"') {
        current.append(slashes / 2, '\\');
        if (slashes % 2 == 1) {
          current += '"';
        } else {
          quoted = !quoted;
        }
      } else {
        current.append(slashes, '\\');
        --i;
      }
      inArgument = true;
    } else if (c == '"') {
      quoted = !quoted;
      inArgument = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (inArgument) arguments.push_back(current);
      current.clear();
      inArgument = false;
    } else {
      current += c;
      inArgument = true;
    }
  }
  if (inArgument) arguments.push_back(current);
  return arguments;
}

CRunOptions ParseCommandLine(const std::string& commandLine) {
  const std::vector<std::string> arguments = SplitCommandLine(commandLine);
  CRunOptions options;
  if (arguments.empty()) return options;

  // Asking for the usage wins over whatever else the line holds.
  for (const std::string& argument : arguments) {
    if (IsOption(argument) && (argument.substr(1) == "?" || Lower(argument.substr(1)) == "help")) {
      options.mode = RunMode::Usage;
      return options;
    }
  }

  for (const std::string& argument : arguments) {
    if (Lower(argument) == "/io" || Lower(argument) == "-io") return ParseIoCommandLine(arguments);
  }

  bool all = false;
  bool visa = false;
  bool compare = false;
  bool tolerance = false;
  std::string output;  // the first of /html, /text, /json, /trace given
  std::string baseline;
  auto hasFileAt = [&](size_t at) { return at < arguments.size() && !arguments[at].empty() && !IsOption(arguments[at]); };
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (!IsOption(argument)) return Invalid("unexpected argument \"" + argument + "\"");
    const std::string name = Lower(argument.substr(1));
    bool* flag = name == "all"         ? &all
                 : name == "visa"      ? &visa
                 : name == "compare"   ? &compare
                 : name == "tolerance" ? &tolerance
                                       : nullptr;
    if (flag != nullptr) {
      if (*flag) return Invalid("the option " + argument + " is given twice");
      *flag = true;
      if (name == "compare") {
        if (!hasFileAt(i + 1) || !hasFileAt(i + 2)) return Invalid("the option " + argument + " needs two file names");
        options.baselineFile = arguments[i + 1];
        options.compareFile = arguments[i + 2];
        i += 2;
      } else if (name == "tolerance") {
        options.toleranceDb = 0;
        if (i + 1 >= arguments.size() || !ParseDecibels(arguments[i + 1], options.toleranceDb)) {
          return Invalid("the option " + argument + " needs a number of decibels, such as 1 or 0.5");
        }
        ++i;
      }
      continue;
    }
    std::string* file = name == "html"       ? &options.htmlFile
                        : name == "text"     ? &options.textFile
                        : name == "json"     ? &options.jsonFile
                        : name == "trace"    ? &options.traceFile
                        : name == "baseline" ? &baseline
                                             : nullptr;
    if (file == nullptr) return Invalid("unknown option " + argument);
    if (!file->empty()) return Invalid("the option " + argument + " is given twice");
    if (!hasFileAt(i + 1)) return Invalid("the option " + argument + " needs a file name");
    *file = arguments[++i];
    if (name != "baseline" && output.empty()) output = argument;
  }
  if (compare) {
    if (all || visa) return Invalid(std::string("/compare runs nothing: it cannot go with ") + (all ? "/all" : "/visa"));
    if (!baseline.empty()) return Invalid("/compare cannot go with /baseline");
    if (!output.empty()) return Invalid("the option " + output + " needs /all: /compare writes to the console only");
    options.mode = RunMode::Compare;
    return options;
  }
  if (all && visa) return Invalid("/visa runs only the VISA Libraries check: it cannot go with /all");
  if (visa && (!baseline.empty() || tolerance)) return Invalid("/visa cannot go with /baseline or /tolerance");
  if (!all && !visa) return Invalid("the options need /all");
  options.baselineFile = baseline;
  if (tolerance && options.baselineFile.empty()) return Invalid("the option /tolerance needs /baseline or /compare");

  // Two outputs into one file would leave only the last one.
  const std::string* files[] = {&options.htmlFile, &options.textFile, &options.jsonFile, &options.traceFile};
  for (size_t a = 0; a < 4; ++a) {
    for (size_t b = a + 1; b < 4; ++b) {
      if (!files[a]->empty() && Lower(*files[a]) == Lower(*files[b])) {
        return Invalid("the file \"" + *files[a] + "\" is named for two outputs");
      }
    }
    // An output may not replace the known-good report it is compared with.
    if (!files[a]->empty() && Lower(*files[a]) == Lower(options.baselineFile)) {
      return Invalid("the file \"" + *files[a] + "\" is named for the baseline and an output");
    }
  }
  options.mode = visa ? RunMode::VisaLibraries : RunMode::DiagnoseAll;
  return options;
}
