#include "sim/SimBenchFile.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <iterator>
#include <utility>

// No streams: the parser reads from a string, numbers go through charconv.
#define TOML_EXCEPTIONS 0
#define TOML_ENABLE_FORMATTERS 0
#define TOML_FLOAT_CHARCONV 1
#include <toml++/toml.h>

#include "instrument/DriverFunctions.h"
#include "sim/SimAddress.h"
#include "sim/SimBenchScan.h"
#include "sim/SimExports.h"
#include "sim/SimStatus.h"

namespace sim {
namespace {

constexpr int64_t kMaxPaddedLength = 1000000;
// A short file must not ask for hundreds of megabytes.
constexpr uint64_t kMaxPaddedTotal = 16u << 20;
constexpr double kMaxDelaySeconds = 3600.0;

const char* const kDriverFunctionNames[] = {
#define BS_SIM_NAME(number, name, ...) #name,
    BS_DRIVER_FUNCTIONS(BS_SIM_NAME)
#undef BS_SIM_NAME
};

bool IsDriverFunction(const std::string& name) {
  for (const char* known : kDriverFunctionNames) {
    if (name == known) {
      return true;
    }
  }
  return false;
}

int LineOf(const toml::node& node) { return static_cast<int>(node.source().begin.line); }
int LineOf(const toml::key& key) { return static_cast<int>(key.source().begin.line); }

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

class CSimBenchReader {
 public:
  CSimBenchReader(const std::string& fileName, SimBench& bench) : m_fileName(fileName), m_bench(bench) {}

  bool Read(const std::string& text);
  const std::string& Error() const { return m_error; }

 private:
  bool Fail(int line, const std::string& problem) {
    if (m_error.empty()) {
      m_error = "bench file " + Quoted(m_fileName) + ", line " + std::to_string(line) + ": " + problem;
    }
    return false;
  }

  bool OnlyKeys(const toml::table& table, std::initializer_list<const char*> keys, const std::string& where);
  bool Integer(const toml::node& node, const std::string& key, int64_t minimum, int64_t maximum, int64_t& value);
  bool Status(const toml::node& node, const std::string& key, int32_t& value);
  bool Number(const toml::node& node, const std::string& key, double& value);
  bool Boolean(const toml::node& node, const std::string& key, bool& value);
  bool Text(const toml::node& node, const std::string& key, std::string& value);
  bool Address(const toml::table& table, const std::string& where, std::string& address);
  bool Identification(const toml::table& table, const std::string& where, bool required, std::string& text);
  bool Visa(const toml::table& table, SimVisaBehaviour& visa);
  bool Answers(const toml::node& node, SimVisaBehaviour& visa);
  bool QueueEntry(const toml::node& node, const std::string& key, SimQueueEntry& entry);
  bool Readings(const toml::node& node, const std::string& key, int channels, double (&watts)[2]);
  bool StatusText(int line, int32_t status, const std::string& text);

  bool Listing(const toml::node& node);
  bool VisaSettings(const toml::node& node);
  bool VisaCopy(const toml::node& node);
  bool VisaRegistry(const toml::node& node);
  bool Choice(const toml::table& table, const char* key, std::initializer_list<const char*> choices,
              const std::string& where, std::string& value);
  bool Mainframe(const toml::node& node);
  bool Slot(const toml::node& node, SimMainframe& mainframe, bool (&seen)[kSlotCount]);
  bool Fault(const toml::node& node, SimMainframe& mainframe);
  bool Instrument(const toml::node& node);
  bool CheckAddressesUnique();

  std::string m_fileName;
  SimBench& m_bench;
  std::string m_error;
  uint64_t m_paddedTotal = 0;
};

bool CSimBenchReader::OnlyKeys(const toml::table& table, std::initializer_list<const char*> keys,
                               const std::string& where) {
  for (auto&& [key, node] : table) {
    bool known = false;
    for (const char* allowed : keys) {
      known = known || key.str() == allowed;
    }
    if (!known) {
      return Fail(LineOf(key), "unknown key " + Quoted(std::string(key.str())) + " in " + where);
    }
  }
  return true;
}

bool CSimBenchReader::Integer(const toml::node& node, const std::string& key, int64_t minimum,
                              int64_t maximum, int64_t& value) {
  if (!node.is_integer()) {
    return Fail(LineOf(node), Quoted(key) + " must be an integer");
  }
  int64_t v = node.as_integer()->get();
  if (v < minimum || v > maximum) {
    return Fail(LineOf(node), Quoted(key) + " must be between " + std::to_string(minimum) + " and " +
                                  std::to_string(maximum) + ", not " + std::to_string(v));
  }
  value = v;
  return true;
}

// Statuses may be written signed (-1074000633) or as their hexadecimal bits (0xBFFC0D07).
bool CSimBenchReader::Status(const toml::node& node, const std::string& key, int32_t& value) {
  int64_t v = 0;
  if (!Integer(node, key, INT32_MIN, UINT32_MAX, v)) {
    return false;
  }
  if (v == 0) {
    return Fail(LineOf(node), Quoted(key) + " 0 means success and cannot be a fault");
  }
  value = static_cast<int32_t>(static_cast<uint32_t>(v));
  return true;
}

bool CSimBenchReader::Number(const toml::node& node, const std::string& key, double& value) {
  if (node.is_floating_point()) {
    value = node.as_floating_point()->get();
  } else if (node.is_integer()) {
    value = static_cast<double>(node.as_integer()->get());
  } else {
    return Fail(LineOf(node), Quoted(key) + " must be a number");
  }
  return true;
}

bool CSimBenchReader::Boolean(const toml::node& node, const std::string& key, bool& value) {
  if (!node.is_boolean()) {
    return Fail(LineOf(node), Quoted(key) + " must be true or false");
  }
  value = node.as_boolean()->get();
  return true;
}

bool CSimBenchReader::Text(const toml::node& node, const std::string& key, std::string& value) {
  if (!node.is_string()) {
    return Fail(LineOf(node), Quoted(key) + " must be a string");
  }
  value = node.as_string()->get();
  if (value.find('\0') != std::string::npos) {
    return Fail(LineOf(node), Quoted(key) + " must not contain a NUL character");
  }
  return true;
}

bool CSimBenchReader::Address(const toml::table& table, const std::string& where, std::string& address) {
  const toml::node* node = table.get("address");
  if (node == nullptr) {
    return Fail(LineOf(table), where + " has no \"address\"");
  }
  if (!Text(*node, "address", address)) {
    return false;
  }
  SimGpibAddress parsed;
  if (!ParseGpibAddress(address, parsed) || parsed.board > 9) {
    return Fail(LineOf(*node), Quoted(address) +
                                   " is not a GPIB resource of boards 0 to 9 (like GPIB0::20::INSTR)");
  }
  return true;
}

bool CSimBenchReader::Identification(const toml::table& table, const std::string& where, bool required,
                                     std::string& text) {
  const toml::node* node = table.get("identification");
  if (node == nullptr) {
    return !required || Fail(LineOf(table), where + " has no \"identification\"");
  }
  if (!Text(*node, "identification", text)) {
    return false;
  }
  // Overlong answers without writing them out in the file.
  if (const toml::node* pad = table.get("pad_identification_to")) {
    int64_t length = 0;
    if (!Integer(*pad, "pad_identification_to", 1, kMaxPaddedLength, length)) {
      return false;
    }
    if (static_cast<size_t>(length) < text.size()) {
      return Fail(LineOf(*pad), "\"pad_identification_to\" is shorter than the identification");
    }
    m_paddedTotal += static_cast<uint64_t>(length);
    if (m_paddedTotal > kMaxPaddedTotal) {
      return Fail(LineOf(*pad), "the padded identifications come to more than " +
                                    std::to_string(kMaxPaddedTotal) + " bytes in all");
    }
    text.resize(static_cast<size_t>(length), '.');
  }
  return true;
}

bool CSimBenchReader::Visa(const toml::table& table, SimVisaBehaviour& visa) {
  struct Flag {
    const char* key;
    bool* value;
  };
  const Flag flags[] = {{"visa_open_fails", &visa.openFails},
                        {"visa_close_fails", &visa.closeFails},
                        {"idn_timeout", &visa.idnTimeout},
                        {"system_error_timeout", &visa.systemErrorTimeout}};
  for (const Flag& flag : flags) {
    if (const toml::node* node = table.get(flag.key)) {
      if (!Boolean(*node, flag.key, *flag.value)) {
        return false;
      }
    }
  }
  if (const toml::node* node = table.get("system_error"); node && !Text(*node, "system_error", visa.systemError)) {
    return false;
  }
  if (const toml::node* node = table.get("silent"); node && !Boolean(*node, "silent", visa.silent)) {
    return false;
  }
  if (const toml::node* node = table.get("answer_delay_ms")) {
    int64_t delay = 0;
    if (!Integer(*node, "answer_delay_ms", 0, 600000, delay)) {
      return false;
    }
    visa.answerDelayMilliseconds = static_cast<int32_t>(delay);
  }
  if (const toml::node* node = table.get("line_end")) {
    std::string name;
    if (!Text(*node, "line_end", name)) {
      return false;
    }
    const struct {
      const char* name;
      const char* bytes;
    } kLineEnds[] = {{"LF", "\n"}, {"CR", "\r"}, {"CRLF", "\r\n"}};
    const auto known = std::find_if(std::begin(kLineEnds), std::end(kLineEnds),
                                    [&](const auto& lineEnd) { return name == lineEnd.name; });
    if (known == std::end(kLineEnds)) {
      return Fail(LineOf(*node), "\"line_end\" must be \"LF\", \"CR\" or \"CRLF\", not " + Quoted(name));
    }
    visa.lineEnd = known->bytes;
  }
  if (const toml::node* node = table.get("answers")) {
    return Answers(*node, visa);
  }
  return true;
}

// Fixed answers: { "MEAS:POW?" = "-3.28", "OUTP ON" = "" }, commands in any case.
bool CSimBenchReader::Answers(const toml::node& node, SimVisaBehaviour& visa) {
  const toml::table* table = node.as_table();
  if (table == nullptr) {
    return Fail(LineOf(node), "\"answers\" must be a table like { \"MEAS:POW?\" = \"-3.28\" }");
  }
  for (auto&& [key, value] : *table) {
    std::string command;
    for (char c : key.str()) {
      command += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    const bool blank = command.find_first_not_of(" \t") == std::string::npos;
    if (blank || command.find_first_of("\r\n") != std::string::npos || command.front() == ' ' ||
        command.back() == ' ') {
      return Fail(LineOf(key), "an answered command must be one line without surrounding blanks, not " +
                                   Quoted(std::string(key.str())));
    }
    for (const char* builtIn : {"*IDN?", "SYST:ERR?", "SYSTEM:ERROR?", "SYST:ERR:NEXT?", "*CLS", "*RST", "*STB?",
                                "*OPC?"}) {
      if (command == builtIn) {
        return Fail(LineOf(key), Quoted(std::string(key.str())) + " is answered by every instrument already");
      }
    }
    std::string answer;
    if (!Text(value, command, answer)) {
      return false;
    }
    visa.answers.emplace_back(command, answer);
  }
  return true;
}

bool CSimBenchReader::QueueEntry(const toml::node& node, const std::string& key, SimQueueEntry& entry) {
  const toml::table* table = node.as_table();
  if (table == nullptr) {
    return Fail(LineOf(node), Quoted(key) + " entries must be tables like { code = -222, message = \"...\" }");
  }
  if (!OnlyKeys(*table, {"code", "message"}, Quoted(key))) {
    return false;
  }
  const toml::node* code = table->get("code");
  const toml::node* message = table->get("message");
  if (code == nullptr || message == nullptr) {
    return Fail(LineOf(node), Quoted(key) + " entries need \"code\" and \"message\"");
  }
  int64_t value = 0;
  if (!Integer(*code, "code", INT32_MIN, INT32_MAX, value) || !Text(*message, "message", entry.message)) {
    return false;
  }
  entry.code = static_cast<int32_t>(value);
  return true;
}

bool CSimBenchReader::Readings(const toml::node& node, const std::string& key, int channels,
                               double (&watts)[2]) {
  if (const toml::array* list = node.as_array()) {
    if (list->size() != static_cast<size_t>(channels)) {
      return Fail(LineOf(node), Quoted(key) + " needs " + std::to_string(channels) +
                                    (channels == 1 ? " value" : " values, one per channel"));
    }
    for (int c = 0; c < channels; ++c) {
      if (!Number(*list->get(static_cast<size_t>(c)), key, watts[c])) {
        return false;
      }
    }
    return true;
  }
  double value = 0.0;
  if (!Number(node, key, value)) {
    return false;
  }
  watts[0] = watts[1] = value;
  return true;
}

bool CSimBenchReader::StatusText(int line, int32_t status, const std::string& text) {
  for (const SimStatusText& known : m_bench.statusTexts) {
    if (known.status == status) {
      if (known.text != text) {
        return Fail(line, "status " + StatusHex(status) + " already has the message " + Quoted(known.text));
      }
      return true;
    }
  }
  m_bench.statusTexts.push_back({status, text});
  return true;
}

bool CSimBenchReader::Listing(const toml::node& node) {
  const toml::table* table = node.as_table();
  if (table == nullptr) {
    return Fail(LineOf(node), "\"listing\" must be a table");
  }
  if (!OnlyKeys(*table, {"fails", "status", "message", "delay_seconds"}, "[listing]")) {
    return false;
  }
  SimListing& listing = m_bench.listing;
  listing.status = kViErrorIo;
  if (const toml::node* fails = table->get("fails"); fails && !Boolean(*fails, "fails", listing.fails)) {
    return false;
  }
  const toml::node* status = table->get("status");
  const toml::node* message = table->get("message");
  if ((status || message) && !listing.fails) {
    return Fail(LineOf(status ? *status : *message), "\"status\" and \"message\" need \"fails = true\"");
  }
  if (status && !Status(*status, "status", listing.status)) {
    return false;
  }
  if (message) {
    std::string text;
    if (!Text(*message, "message", text) || !StatusText(LineOf(*message), listing.status, text)) {
      return false;
    }
  }
  if (const toml::node* delay = table->get("delay_seconds")) {
    double seconds = 0.0;
    if (!Number(*delay, "delay_seconds", seconds)) {
      return false;
    }
    if (!(seconds >= 0.0 && seconds <= kMaxDelaySeconds)) {
      return Fail(LineOf(*delay), "\"delay_seconds\" must be between 0 and 3600");
    }
    listing.delayMilliseconds = static_cast<int32_t>(std::lround(seconds * 1000.0));
  }
  return true;
}

bool CSimBenchReader::VisaSettings(const toml::node& node) {
  const toml::table* table = node.as_table();
  if (table == nullptr) {
    return Fail(LineOf(node), "\"visa\" must be a table");
  }
  if (!OnlyKeys(*table,
                {"timeout_delay_ms", "maker_name", "maker_id", "implementation_version", "specification_version"},
                "[visa]")) {
    return false;
  }
  if (const toml::node* delay = table->get("timeout_delay_ms")) {
    int64_t value = 0;
    if (!Integer(*delay, "timeout_delay_ms", 0, 600000, value)) {
      return false;
    }
    m_bench.visaTimeoutDelayMilliseconds = static_cast<int32_t>(value);
  }
  SimVisaIdentity& identity = m_bench.visaIdentity;
  if (const toml::node* name = table->get("maker_name"); name && !Text(*name, "maker_name", identity.makerName)) {
    return false;
  }
  int64_t value = 0;
  if (const toml::node* id = table->get("maker_id")) {
    if (!Integer(*id, "maker_id", 0, 0xFFFF, value)) return false;
    identity.makerId = static_cast<int32_t>(value);
  }
  for (auto [key, version] : {std::pair<const char*, uint32_t*>{"implementation_version", &identity.implementationVersion},
                              {"specification_version", &identity.specificationVersion}}) {
    const toml::node* node = table->get(key);
    if (node == nullptr) continue;
    if (!Integer(*node, key, 0, UINT32_MAX, value)) return false;
    *version = static_cast<uint32_t>(value);
  }
  return true;
}

bool CSimBenchReader::Choice(const toml::table& table, const char* key, std::initializer_list<const char*> choices,
                             const std::string& where, std::string& value) {
  const toml::node* node = table.get(key);
  if (node == nullptr) {
    return Fail(LineOf(table), where + " has no " + Quoted(key));
  }
  if (!Text(*node, key, value)) {
    return false;
  }
  std::string known;
  for (const char* choice : choices) {
    if (value == choice) return true;
    known += (known.empty() ? "" : ", ") + Quoted(choice);
  }
  return Fail(LineOf(*node), Quoted(key) + " must be one of " + known + ", not " + Quoted(value));
}

bool CSimBenchReader::VisaCopy(const toml::node& node) {
  const toml::table* table = node.as_table();
  if (table == nullptr) {
    return Fail(LineOf(node), "\"visa_copy\" must be written as [[visa_copy]] tables");
  }
  SimVisaCopy copy;
  copy.line = LineOf(node);
  if (!OnlyKeys(*table, {"folder", "path", "variant", "file"}, "[[visa_copy]]") ||
      !Choice(*table, "folder", {"program", "current", "system", "other_system", "windows", "path"},
              "[[visa_copy]]", copy.folder) ||
      (table->get("file") && !Choice(*table, "file", {"visa32.dll", "visa64.dll"}, "[[visa_copy]]", copy.file))) {
    return false;
  }
  const toml::node* path = table->get("path");
  if ((copy.folder == "path") != (path != nullptr)) {
    return Fail(path != nullptr ? LineOf(*path) : copy.line, "\"path\" goes with folder \"path\", and only with it");
  }
  if (path != nullptr && !Text(*path, "path", copy.path)) {
    return false;
  }
  if (const toml::node* variant = table->get("variant")) {
    if (!Text(*variant, "variant", copy.variant)) return false;
    bool known = copy.variant.empty();
    for (const std::string& name : SimVariantNames("visa32.dll")) known = known || name == copy.variant;
    if (!known) return Fail(LineOf(*variant), Quoted(copy.variant) + " is not a variant of visa32.dll");
  }
  m_bench.visaCopies.push_back(copy);
  return true;
}

bool CSimBenchReader::VisaRegistry(const toml::node& node) {
  const toml::table* table = node.as_table();
  if (table == nullptr) {
    return Fail(LineOf(node), "\"visa_registry\" must be written as [[visa_registry]] tables");
  }
  SimRegistryValue value;
  value.line = LineOf(node);
  if (!OnlyKeys(*table, {"view", "key", "name", "value"}, "[[visa_registry]]") ||
      !Choice(*table, "view", {"own", "32", "64"}, "[[visa_registry]]", value.view)) {
    return false;
  }
  for (auto [key, text] : {std::pair<const char*, std::string*>{"key", &value.key}, {"name", &value.name},
                           {"value", &value.value}}) {
    const toml::node* entry = table->get(key);
    if (entry == nullptr) return Fail(value.line, "[[visa_registry]] has no " + Quoted(key));
    if (!Text(*entry, key, *text)) return false;
  }
  m_bench.visaRegistry.push_back(value);
  return true;
}

bool CSimBenchReader::Slot(const toml::node& node, SimMainframe& mainframe, bool (&seen)[kSlotCount]) {
  const toml::table* table = node.as_table();
  if (table == nullptr) {
    return Fail(LineOf(node), "\"slot\" must be written as [[mainframe.slot]] tables");
  }
  if (!OnlyKeys(*table,
                {"slot", "type", "identification", "pad_identification_to", "dark", "lit", "calibration",
                 "logging_finishes", "locked", "locked_code", "locked_message"},
                "[[mainframe.slot]]")) {
    return false;
  }
  const toml::node* number = table->get("slot");
  const toml::node* typeNode = table->get("type");
  if (number == nullptr || typeNode == nullptr) {
    return Fail(LineOf(node), "[[mainframe.slot]] needs \"slot\" and \"type\"");
  }
  int64_t index = 0;
  int64_t type = 0;
  if (!Integer(*number, "slot", 0, kSlotCount - 1, index) || !Integer(*typeNode, "type", 0, 7, type)) {
    return false;
  }
  if (seen[index]) {
    return Fail(LineOf(*number), "slot " + std::to_string(index) + " is given twice for " +
                                     Quoted(mainframe.address));
  }
  seen[index] = true;
  SimSlot& slot = mainframe.slots[index];
  slot.type = static_cast<int32_t>(type);
  if (slot.type == kSlotEmpty) {
    if (table->size() > 2) {
      return Fail(LineOf(node), "an empty slot (type 0) takes no other keys");
    }
    return true;
  }
  if (!Identification(*table, "slot " + std::to_string(index), true, slot.identification)) {
    return false;
  }
  const bool meter = IsPowerMeter(slot.type);
  const bool laser = slot.type == kSlotTunableLaser;
  for (const char* key : {"dark", "lit", "calibration", "logging_finishes"}) {
    if (!meter && table->get(key)) {
      return Fail(LineOf(*table->get(key)), Quoted(key) + " is for power meters (type 1 or 2) only");
    }
  }
  for (const char* key : {"locked", "locked_code", "locked_message"}) {
    if (!laser && table->get(key)) {
      return Fail(LineOf(*table->get(key)), Quoted(key) + " is for tunable lasers (type 5) only");
    }
  }
  const int channels = ChannelCount(slot.type);
  if (const toml::node* dark = table->get("dark"); dark && !Readings(*dark, "dark", channels, slot.dark)) {
    return false;
  }
  if (const toml::node* lit = table->get("lit"); lit && !Readings(*lit, "lit", channels, slot.lit)) {
    return false;
  }
  if (const toml::node* value = table->get("calibration");
      value && !Number(*value, "calibration", slot.calibration)) {
    return false;
  }
  if (const toml::node* value = table->get("logging_finishes");
      value && !Boolean(*value, "logging_finishes", slot.loggingFinishes)) {
    return false;
  }
  if (const toml::node* value = table->get("locked"); value && !Boolean(*value, "locked", slot.locked)) {
    return false;
  }
  if (const toml::node* value = table->get("locked_code")) {
    int64_t code = 0;
    if (!Integer(*value, "locked_code", INT32_MIN, INT32_MAX, code)) {
      return false;
    }
    slot.lockedEntry.code = static_cast<int32_t>(code);
  }
  if (const toml::node* value = table->get("locked_message");
      value && !Text(*value, "locked_message", slot.lockedEntry.message)) {
    return false;
  }
  return true;
}

bool CSimBenchReader::Fault(const toml::node& node, SimMainframe& mainframe) {
  const toml::table* table = node.as_table();
  if (table == nullptr) {
    return Fail(LineOf(node), "\"fault\" must be written as [[mainframe.fault]] tables");
  }
  if (!OnlyKeys(*table, {"function", "status", "message", "code"}, "[[mainframe.fault]]")) {
    return false;
  }
  SimFault fault;
  fault.status = kViErrorIo;
  const toml::node* function = table->get("function");
  if (function == nullptr) {
    return Fail(LineOf(node), "[[mainframe.fault]] needs \"function\"");
  }
  if (!Text(*function, "function", fault.function)) {
    return false;
  }
  if (!IsDriverFunction(fault.function)) {
    return Fail(LineOf(*function), Quoted(fault.function) + " is not a function of kv740m_32.dll");
  }
  if (fault.function == "kv740m_listVisa_Q") {
    return Fail(LineOf(*function), "the listing belongs to no mainframe; use [listing]");
  }
  if (const toml::node* status = table->get("status"); status && !Status(*status, "status", fault.status)) {
    return false;
  }
  const toml::node* message = table->get("message");
  const toml::node* code = table->get("code");
  if (fault.status == kKvInstrumentError && fault.function == "kv740m_init") {
    // A failed init leaves no session through which the queue could be read.
    return Fail(LineOf(*table->get("status")),
                "kv740m_init opens no session when it fails, so 0xBFFC0D07 cannot be read back; "
                "give another status");
  }
  if (fault.status == kKvInstrumentError) {
    fault.entry = {-300, "Device-specific error"};
    if (message && !Text(*message, "message", fault.entry.message)) {
      return false;
    }
    if (code) {
      int64_t value = 0;
      if (!Integer(*code, "code", INT32_MIN, INT32_MAX, value)) {
        return false;
      }
      fault.entry.code = static_cast<int32_t>(value);
    }
  } else {
    if (code) {
      return Fail(LineOf(*code), "\"code\" is for the instrument-error status 0xBFFC0D07 only");
    }
    std::string text;
    if (message && (!Text(*message, "message", text) || !StatusText(LineOf(*message), fault.status, text))) {
      return false;
    }
  }
  for (const SimFault& earlier : mainframe.faults) {
    if (earlier.function == fault.function) {
      return Fail(LineOf(*function), Quoted(fault.function) + " already has a fault on " +
                                         Quoted(mainframe.address));
    }
  }
  mainframe.faults.push_back(fault);
  return true;
}

bool CSimBenchReader::Mainframe(const toml::node& node) {
  const toml::table* table = node.as_table();
  if (table == nullptr) {
    return Fail(LineOf(node), "\"mainframe\" must be written as [[mainframe]] tables");
  }
  if (!OnlyKeys(*table,
                {"address", "identification", "pad_identification_to", "slot", "fault", "error_queue",
                 "visa_open_fails", "visa_close_fails", "idn_timeout", "system_error",
                 "system_error_timeout", "line_end", "answer_delay_ms", "silent", "answers"},
                "[[mainframe]]")) {
    return false;
  }
  SimMainframe mainframe;
  mainframe.line = LineOf(node);
  if (!Address(*table, "[[mainframe]]", mainframe.address) ||
      !Identification(*table, "[[mainframe]]", true, mainframe.identification) ||
      !Visa(*table, mainframe.visa)) {
    return false;
  }
  if (const toml::node* slots = table->get("slot")) {
    const toml::array* list = slots->as_array();
    if (list == nullptr) {
      return Fail(LineOf(*slots), "\"slot\" must be written as [[mainframe.slot]] tables");
    }
    bool seen[kSlotCount] = {};
    for (const toml::node& slot : *list) {
      if (!Slot(slot, mainframe, seen)) {
        return false;
      }
    }
  }
  if (const toml::node* faults = table->get("fault")) {
    const toml::array* list = faults->as_array();
    if (list == nullptr) {
      return Fail(LineOf(*faults), "\"fault\" must be written as [[mainframe.fault]] tables");
    }
    for (const toml::node& fault : *list) {
      if (!Fault(fault, mainframe)) {
        return false;
      }
    }
  }
  if (const toml::node* queue = table->get("error_queue")) {
    const toml::array* list = queue->as_array();
    if (list == nullptr) {
      return Fail(LineOf(*queue), "\"error_queue\" must be an array");
    }
    for (const toml::node& item : *list) {
      SimQueueEntry entry;
      if (!QueueEntry(item, "error_queue", entry)) {
        return false;
      }
      mainframe.errorQueue.push_back(entry);
    }
  }
  m_bench.mainframes.push_back(mainframe);
  return true;
}

bool CSimBenchReader::Instrument(const toml::node& node) {
  const toml::table* table = node.as_table();
  if (table == nullptr) {
    return Fail(LineOf(node), "\"instrument\" must be written as [[instrument]] tables");
  }
  if (!OnlyKeys(*table,
                {"address", "identification", "pad_identification_to", "visa_open_fails",
                 "visa_close_fails", "idn_timeout", "system_error", "system_error_timeout", "line_end",
                 "answer_delay_ms", "silent", "answers"},
                "[[instrument]]")) {
    return false;
  }
  SimInstrument instrument;
  instrument.line = LineOf(node);
  if (!Address(*table, "[[instrument]]", instrument.address) ||
      !Identification(*table, "[[instrument]]", true, instrument.identification) ||
      !Visa(*table, instrument.visa)) {
    return false;
  }
  m_bench.instruments.push_back(instrument);
  return true;
}

bool CSimBenchReader::CheckAddressesUnique() {
  struct Entry {
    std::string key;
    std::string address;
    int line;
  };
  std::vector<Entry> seen;
  auto add = [&](const std::string& address, int line) {
    const std::string key = AddressKey(address);
    for (const Entry& earlier : seen) {
      if (earlier.key == key) {
        return Fail(line, "address " + Quoted(address) + " is already used on line " +
                              std::to_string(earlier.line));
      }
    }
    seen.push_back({key, address, line});
    return true;
  };
  for (const SimMainframe& mainframe : m_bench.mainframes) {
    if (!add(mainframe.address, mainframe.line)) {
      return false;
    }
  }
  for (const SimInstrument& instrument : m_bench.instruments) {
    if (!add(instrument.address, instrument.line)) {
      return false;
    }
  }
  return true;
}

bool CSimBenchReader::Read(const std::string& text) {
  unsigned char control = 0;
  if (const int line = FindControlCharacter(text, control); line != 0) {
    char code[8] = {};
    std::snprintf(code, sizeof(code), "0x%02X", control);
    return Fail(line, std::string("syntax error: control character ") + code + " is not allowed");
  }
  if (const int line = FindTooDeepKey(text); line != 0) {
    return Fail(line, "keys are nested deeper than " + std::to_string(kMaxKeyDepth) + " levels");
  }
  std::string trap;
  if (const int line = FindParserTrap(text, trap); line != 0) return Fail(line, "syntax error: " + trap);
  toml::parse_result parsed = toml::parse(std::string_view(text), std::string_view(m_fileName));
  if (!parsed) {
    const toml::parse_error& problem = parsed.error();
    return Fail(static_cast<int>(problem.source().begin.line),
                "syntax error: " + std::string(problem.description()));
  }
  const toml::table& root = parsed.table();
  const toml::node* version = root.get("format_version");
  if (version == nullptr) {
    return Fail(1, "no \"format_version\"; a bench file starts with format_version = " +
                       std::to_string(kBenchFormatVersion));
  }
  int64_t number = 0;
  if (!Integer(*version, "format_version", kBenchFormatVersion, kBenchFormatVersion, number)) {
    return false;
  }
  if (!OnlyKeys(root,
                {"format_version", "description", "listing", "visa", "mainframe", "instrument", "visa_copy",
                 "visa_registry"},
                "the bench")) {
    return false;
  }
  if (const toml::node* description = root.get("description");
      description && !Text(*description, "description", m_bench.description)) {
    return false;
  }
  if (const toml::node* listing = root.get("listing"); listing && !Listing(*listing)) {
    return false;
  }
  if (const toml::node* visa = root.get("visa"); visa && !VisaSettings(*visa)) {
    return false;
  }
  using Entry = bool (CSimBenchReader::*)(const toml::node&);
  const std::pair<const char*, Entry> lists[] = {{"mainframe", &CSimBenchReader::Mainframe},
                                                 {"instrument", &CSimBenchReader::Instrument},
                                                 {"visa_copy", &CSimBenchReader::VisaCopy},
                                                 {"visa_registry", &CSimBenchReader::VisaRegistry}};
  for (const auto& [key, read] : lists) {
    const toml::node* entries = root.get(key);
    if (entries == nullptr) {
      continue;
    }
    const toml::array* list = entries->as_array();
    if (list == nullptr) {
      return Fail(LineOf(*entries), Quoted(key) + " must be written as [[" + key + "]] tables");
    }
    for (const toml::node& entry : *list) {
      if (!(this->*read)(entry)) {
        return false;
      }
    }
  }
  return CheckAddressesUnique();
}

}  // namespace

bool ReadBenchText(const std::string& text, const std::string& fileName, SimBench& bench,
                   std::string& error) {
  SimBench read;
  read.fileName = fileName;
  CSimBenchReader reader(fileName, read);
  if (!reader.Read(text)) {
    error = reader.Error();
    return false;
  }
  bench = std::move(read);
  error.clear();
  return true;
}

bool ReadBenchFile(const std::string& path, SimBench& bench, std::string& error) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    error = "bench file \"" + path + "\" cannot be opened";
    return false;
  }
  std::string text;
  char chunk[4096];
  size_t read = 0;
  while ((read = std::fread(chunk, 1, sizeof(chunk), file)) > 0) text.append(chunk, read);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) {
    error = "bench file \"" + path + "\" cannot be read";
    return false;
  }
  return ReadBenchText(text, path, bench, error);
}

}  // namespace sim
