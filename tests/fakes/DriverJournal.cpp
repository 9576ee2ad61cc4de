#include "tests/fakes/DriverJournal.h"

#include <cstdio>
#include <map>
#include <type_traits>

#include "sim/SimFunctions.h"

namespace {

template <typename T>
void AppendArgument(std::string& entry, bool& first, T value) {
  if (!first) entry += ',';
  first = false;
  if constexpr (std::is_same_v<T, const char*>) {
    entry += value != nullptr ? "\"" + std::string(value) + "\"" : "null";
  } else if constexpr (std::is_pointer_v<T>) {
    entry += '*';
  } else if constexpr (std::is_floating_point_v<T>) {
    char text[32] = {};
    std::snprintf(text, sizeof(text), "%g", value);
    entry += text;
  } else {
    entry += std::to_string(value);
  }
}

template <auto Function, const char* Name>
struct Journaled;

template <typename... Arguments, KvStatus(BS_STDCALL* Function)(Arguments...), const char* Name>
struct Journaled<Function, Name> {
  static KvStatus BS_STDCALL Call(Arguments... arguments) {
    std::string entry = Name;
    entry += '(';
    bool first = true;
    (AppendArgument(entry, first, arguments), ...);
    entry += ')';
    DriverJournal().push_back(entry);
    return Function(arguments...);
  }
};

#define BS_JOURNAL_NAME(number, name, ...) constexpr char kName_##name[] = #name;
BS_DRIVER_FUNCTIONS(BS_JOURNAL_NAME)
#undef BS_JOURNAL_NAME

const std::map<std::string, void*>& StandIns() {
#define BS_JOURNAL_ENTRY(number, name, ...) \
  {#name, reinterpret_cast<void*>(&Journaled<&simexp::name, kName_##name>::Call)},
  static const std::map<std::string, void*> table = {BS_DRIVER_FUNCTIONS(BS_JOURNAL_ENTRY)};
#undef BS_JOURNAL_ENTRY
  return table;
}

}  // namespace

std::vector<std::string>& DriverJournal() {
  static std::vector<std::string> journal;
  return journal;
}

void* JournaledDriverFunction(const std::string& name) {
  const auto found = StandIns().find(name);
  return found != StandIns().end() ? found->second : nullptr;
}

std::vector<std::string> DriverCalls(const std::vector<std::string>& names) {
  std::vector<std::string> calls;
  for (const std::string& entry : DriverJournal()) {
    const std::string name = entry.substr(0, entry.find('('));
    bool wanted = names.empty();
    for (const std::string& n : names) wanted = wanted || n == name;
    if (wanted) calls.push_back(entry);
  }
  return calls;
}
