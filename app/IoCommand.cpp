// /io: one command to one instrument from a script, its answer on the console.
#include "app/CommandLine.h"
#include "app/Console.h"
#include "instrument/InstrumentIo.h"
#include "platform/Platform.h"

CRunOptions ParseIoCommandLine(const std::vector<std::string>& arguments) {
  CRunOptions options;
  CIoOptions& io = options.io;
  std::vector<std::string> values;
  bool timeout = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    // A lone "-" is a command's text, not an option.
    if (argument.size() < 2 || !IsOption(argument)) {
      values.push_back(argument);
      continue;
    }
    const std::string name = Lower(argument.substr(1));
    bool* flag = name == "io" ? nullptr : name == "write" ? &io.writeOnly : name == "read" ? &io.readOnly : &timeout;
    if (name != "io" && name != "write" && name != "read" && name != "timeout") {
      return Invalid("the option " + argument + " cannot go with /io");
    }
    if (flag != nullptr && *flag) return Invalid("the option " + argument + " is given twice");
    if (flag != nullptr) *flag = true;
    if (name == "timeout") {
      std::string problem;
      if (i + 1 >= arguments.size() || !ParseIoTimeout(arguments[i + 1], io.timeoutMs, problem)) {
        return Invalid("the option " + argument + " needs a number of milliseconds from " +
                       std::to_string(kIoTimeoutMin) + " to " + std::to_string(kIoTimeoutMax));
      }
      ++i;
    }
  }
  if (io.writeOnly && io.readOnly) return Invalid("/write and /read cannot go together");
  if (values.empty()) return Invalid("/io needs a VISA resource, such as GPIB0::20::INSTR");
  io.resource = values[0];
  if (io.readOnly) {
    if (values.size() > 1) return Invalid("/read writes nothing: it takes no COMMAND");
  } else {
    if (values.size() < 2) return Invalid("/io needs a COMMAND to write, such as *IDN?");
    io.command = values[1];
    std::string bytes;
    std::string problem;
    if (!ParseIoCommand(io.command, bytes, problem)) return Invalid(problem);
  }
  if (values.size() > 2) return Invalid("unexpected argument \"" + values[2] + "\"");
  options.mode = RunMode::Io;
  return options;
}

int RunIoCommand(const CIoOptions& options) {
  CInstrumentIo io;
  std::string problem;
  if (!io.Load(problem)) {
    Say("benchsentry: " + problem + "\r\n", true);
    return kExitIoNoVisa;
  }
  CIoSettings settings;
  settings.resource = options.resource;
  settings.timeoutMs = options.timeoutMs;
  std::string command;
  ParseIoCommand(options.command, command, problem);
  const CIoAction action = options.readOnly ? CIoAction::Read : options.writeOnly ? CIoAction::Write : CIoAction::Query;
  const CIoRecord record = io.Run(action, settings, command);
  const ViStatus status = record.Status();
  if (!record.opened) {
    Say("benchsentry: cannot open \"" + options.resource + "\": " + VisaStatusText(status) + "\r\n", true);
    return kExitIoCannotOpen;
  }
  if (record.timedOut) {
    Say("benchsentry: " + options.resource + " did not answer within " + std::to_string(options.timeoutMs) +
            " ms (" + VisaStatusText(status) + ")\r\n",
        true);
    return kExitIoTimeout;
  }
  if (status < 0) {
    for (const CIoCall& call : record.calls) {
      if (call.status < 0) Say("benchsentry: " + options.resource + ": " + call.name + ": " + VisaStatusText(call.status) + "\r\n", true);
    }
    return kExitIoFailed;
  }
  if (action != CIoAction::Write) {
    std::string answer;
    for (const CIoCall& call : record.calls) {
      if (call.name == "viRead") answer += call.bytes;
    }
    Say(VisibleBytes(answer) + "\r\n", false);
    if (const size_t odd = NonTextBytes(answer); odd > 0) {
      Say("benchsentry: " + NonTextNote(odd) + "\r\n", true);
    }
  }
  return 0;
}
