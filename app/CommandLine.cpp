#include "app/CommandLine.h"

#include <cctype>

const char kUsageText[] =
    "Usage: benchsentry.exe /all [/html FILE] [/text FILE] [/json FILE]\r\n"
    "\r\n"
    "  /all        run Diagnose All without asking anything, then exit\r\n"
    "  /html FILE  save the report as an HTML file\r\n"
    "  /text FILE  save the report as a text file\r\n"
    "  /json FILE  save the results as a JSON file\r\n"
    "  /?          show this text\r\n"
    "\r\n"
    "Without options the program opens its window as usual.\r\n"
    "Exit code: the number of layers that failed (0: all five OK),\r\n"
    "100 when the run could not be carried out.\r\n"
    "From a command prompt: start /wait benchsentry.exe /all ...\r\n";

namespace {

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

}  // namespace

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

  bool all = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (!IsOption(argument)) return Invalid("unexpected argument \"" + argument + "\"");
    const std::string name = Lower(argument.substr(1));
    if (name == "all") {
      if (all) return Invalid("the option " + argument + " is given twice");
      all = true;
      continue;
    }
    std::string* file = name == "html"   ? &options.htmlFile
                        : name == "text" ? &options.textFile
                        : name == "json" ? &options.jsonFile
                                         : nullptr;
    if (file == nullptr) return Invalid("unknown option " + argument);
    if (!file->empty()) return Invalid("the option " + argument + " is given twice");
    if (i + 1 >= arguments.size() || arguments[i + 1].empty() || IsOption(arguments[i + 1])) {
      return Invalid("the option " + argument + " needs a file name");
    }
    *file = arguments[++i];
  }
  if (!all) return Invalid("the options need /all");

  // Two outputs into one file would leave only the last one.
  const std::string* files[] = {&options.htmlFile, &options.textFile, &options.jsonFile};
  for (size_t a = 0; a < 3; ++a) {
    for (size_t b = a + 1; b < 3; ++b) {
      if (!files[a]->empty() && Lower(*files[a]) == Lower(*files[b])) {
        return Invalid("the file \"" + *files[a] + "\" is named for two outputs");
      }
    }
  }
  options.mode = RunMode::DiagnoseAll;
  return options;
}
