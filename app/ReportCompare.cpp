#include "app/ReportCompare.h"

#include <cmath>
#include <cstdio>
#include <map>

#include "app/VisaCompare.h"

namespace {

using Json = nlohmann::json;

const Json kNull;

// Values of a report read from a file are of any type: every access checks it.
const Json& Field(const Json& object, const char* name) {
  if (!object.is_object()) return kNull;
  const auto found = object.find(name);
  return found != object.end() ? *found : kNull;
}

const Json& List(const Json& object, const char* name) {
  static const Json empty = Json::array();
  const Json& list = Field(object, name);
  return list.is_array() ? list : empty;
}

std::string Text(const Json& object, const char* name) {
  const Json& value = Field(object, name);
  return value.is_string() ? value.get<std::string>() : std::string();
}

// A string, or null for anything else (a module that did not answer).
Json TextOrNull(const Json& object, const char* name) {
  const Json& value = Field(object, name);
  return value.is_string() ? value : Json();
}

bool Number(const Json& object, const char* name, double& value) {
  const Json& field = Field(object, name);
  if (!field.is_number()) return false;
  value = field.get<double>();
  return true;
}

class CCollector {
 public:
  CCollector(std::vector<CChange>& changes, std::string layer) : m_changes(changes), m_layer(std::move(layer)) {}

  void Add(const std::string& kind, const std::string& item, Json oldValue, Json newValue) {
    m_changes.push_back({kind, m_layer, item, std::move(oldValue), std::move(newValue)});
  }

 private:
  std::vector<CChange>& m_changes;
  std::string m_layer;
};

// "maker,model,serial,firmware", as *IDN? answers; an answer of another shape is
// compared whole.
std::vector<std::string> SplitIdentification(const std::string& identification) {
  std::vector<std::string> fields(1);
  for (char c : identification) {
    if (c == ',') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

void CompareIdentification(CCollector& out, const std::string& thing, const std::string& item,
                           const Json& before, const Json& after) {
  if (before == after) return;
  if (!before.is_string() || !after.is_string()) {
    out.Add(thing + "_identification", item, before, after);
    return;
  }
  const std::vector<std::string> old = SplitIdentification(before.get<std::string>());
  const std::vector<std::string> now = SplitIdentification(after.get<std::string>());
  if (old.size() != 4 || now.size() != 4) {
    out.Add(thing + "_identification", item, before, after);
    return;
  }
  const char* fields[] = {"maker", "model", "serial", "firmware"};
  for (size_t i = 0; i < 4; ++i) {
    if (old[i] != now[i]) out.Add(thing + "_" + fields[i], item, old[i], now[i]);
  }
}

// Items of two lists matched by a key; those of the new list in its order, then
// those only in the old one in theirs.
template <class Visit>
void MatchByKey(const Json& before, const Json& after, const char* key, Visit visit) {
  std::map<std::string, const Json*> old;
  for (const Json& item : before) old.emplace(Text(item, key), &item);
  std::map<std::string, bool> seen;
  for (const Json& item : after) {
    const std::string name = Text(item, key);
    if (seen[name]) continue;
    seen[name] = true;
    const auto found = old.find(name);
    visit(name, found != old.end() ? found->second : nullptr, &item);
  }
  for (const Json& item : before) {
    const std::string name = Text(item, key);
    if (seen[name]) continue;
    seen[name] = true;
    visit(name, &item, nullptr);
  }
}

struct CModulePair {
  const Json* before = nullptr;
  const Json* after = nullptr;
};

// A slot or channel number; -1 for one that is missing or no int at all
// (1e300 in a report that is not ours).
int WholeNumber(const Json& object, const char* name) {
  double number = -1;
  if (!Number(object, name, number) || !(number > -2147483648.0 && number < 2147483648.0)) return -1;
  return static_cast<int>(number);
}

int SlotOf(const Json& slot) { return WholeNumber(slot, "slot"); }

// A module is known by its identification, so one that moved to another slot is
// the same module; modules that did not answer are known by their slot.
std::vector<CModulePair> PairModules(const Json& before, const Json& after) {
  const Json& old = List(before, "slots");
  const Json& now = List(after, "slots");
  std::vector<bool> oldTaken(old.size()), newTaken(now.size());
  std::vector<CModulePair> pairs;
  auto pair = [&](auto same) {
    for (size_t n = 0; n < now.size(); ++n) {
      for (size_t o = 0; o < old.size() && !newTaken[n]; ++o) {
        if (oldTaken[o] || !same(old[o], now[n])) continue;
        oldTaken[o] = newTaken[n] = true;
        pairs.push_back({&old[o], &now[n]});
      }
    }
  };
  auto sameModule = [](const Json& a, const Json& b) {
    return TextOrNull(a, "identification").is_string() && TextOrNull(a, "identification") == TextOrNull(b, "identification");
  };
  pair([&](const Json& a, const Json& b) { return SlotOf(a) == SlotOf(b) && sameModule(a, b); });
  pair(sameModule);
  pair([](const Json& a, const Json& b) { return SlotOf(a) == SlotOf(b) && Field(a, "type_code") == Field(b, "type_code"); });
  for (size_t n = 0; n < now.size(); ++n) {
    if (!newTaken[n]) pairs.push_back({nullptr, &now[n]});
  }
  for (size_t o = 0; o < old.size(); ++o) {
    if (!oldTaken[o]) pairs.push_back({&old[o], nullptr});
  }
  return pairs;
}

std::string SlotItem(const std::string& address, const Json& slot) {
  return address + " slot " + std::to_string(SlotOf(slot));
}

Json ModuleDescription(const Json& slot) {
  const std::string module = Text(slot, "module");
  const Json identification = TextOrNull(slot, "identification");
  if (!identification.is_string()) return module + " (no answer)";
  return module + ", " + identification.get<std::string>();
}

void CompareMainframes(CCollector& out, const Json& before, const Json& after, bool identifications) {
  MatchByKey(List(before, "mainframes"), List(after, "mainframes"), "address",
             [&](const std::string& address, const Json* old, const Json* now) {
               if (old == nullptr) {
                 out.Add("mainframe_appeared", address, Json(), TextOrNull(*now, "identification"));
                 return;
               }
               if (now == nullptr) {
                 out.Add("mainframe_disappeared", address, TextOrNull(*old, "identification"), Json());
                 return;
               }
               if (identifications) {
                 CompareIdentification(out, "mainframe", address, TextOrNull(*old, "identification"),
                                       TextOrNull(*now, "identification"));
               }
               for (const CModulePair& pair : PairModules(*old, *now)) {
                 if (pair.before == nullptr) {
                   out.Add("module_appeared", SlotItem(address, *pair.after), Json(), ModuleDescription(*pair.after));
                 } else if (pair.after == nullptr) {
                   out.Add("module_disappeared", SlotItem(address, *pair.before), ModuleDescription(*pair.before), Json());
                 } else {
                   if (SlotOf(*pair.before) != SlotOf(*pair.after)) {
                     out.Add("module_moved", SlotItem(address, *pair.before), SlotOf(*pair.before), SlotOf(*pair.after));
                   }
                   CompareIdentification(out, "module", SlotItem(address, *pair.after),
                                         TextOrNull(*pair.before, "identification"),
                                         TextOrNull(*pair.after, "identification"));
                 }
               }
             });
}

// A reading as the report holds it: null when it failed or is missing.
Json Reading(const Json& slot, int channel) {
  for (const Json& measurement : List(slot, "measurements")) {
    double dbm = 0;
    if (WholeNumber(measurement, "channel") != channel) continue;
    const Json& valid = Field(measurement, "valid");
    if (valid.is_boolean() && valid.get<bool>() && Number(measurement, "dbm", dbm)) return dbm;
    return Json();
  }
  return Json();
}

void CompareReadings(CCollector& out, const Json& before, const Json& after, double toleranceDb) {
  MatchByKey(List(before, "mainframes"), List(after, "mainframes"), "address",
             [&](const std::string& address, const Json* old, const Json* now) {
               if (old == nullptr || now == nullptr) return;
               for (const CModulePair& pair : PairModules(*old, *now)) {
                 if (pair.before == nullptr || pair.after == nullptr) continue;
                 for (int channel = 1; channel <= 2; ++channel) {
                   const Json was = Reading(*pair.before, channel);
                   if (!was.is_number()) continue;
                   const Json is = Reading(*pair.after, channel);
                   const std::string item = SlotItem(address, *pair.after) + " channel " + std::to_string(channel);
                   if (!is.is_number()) {
                     out.Add("reading_unreadable", item, was, Json());
                   } else if (std::fabs(is.get<double>() - was.get<double>()) > toleranceDb) {
                     out.Add("reading_changed", item, was, is);
                   }
                 }
               }
             });
}

// The lines the report marks as errors, without their marker.
std::vector<std::string> ErrorLines(const Json& layer) {
  std::vector<std::string> lines;
  const std::string report = Text(layer, "report");
  size_t start = 0;
  while (start < report.size()) {
    size_t end = report.find('\n', start);
    if (end == std::string::npos) end = report.size();
    std::string line = report.substr(start, end - start);
    start = end + 1;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    const size_t marker = line.find("######");
    if (marker != std::string::npos) lines.push_back(line.substr(marker + 6));
  }
  return lines;
}

void CompareErrorLines(CCollector& out, const Json& before, const Json& after) {
  std::map<std::string, int> old;
  for (const std::string& line : ErrorLines(before)) ++old[line];
  for (const std::string& line : ErrorLines(after)) {
    if (old[line]-- > 0) continue;
    out.Add("error_new", "error", Json(), line);
  }
}

bool Present(const Json& library) {
  const std::string found = Text(library, "found");
  return found == "accessible" || found == "not loadable";
}

// Where a missing library's copies lie on the drive; null for none found.
Json CopyPaths(const Json& library) {
  std::string paths;
  for (const Json& copy : List(library, "copies")) paths += (paths.empty() ? "" : ", ") + Text(copy, "name");
  return paths.empty() ? Json() : Json(paths);
}

// Each library once, in the first layer that lists it (the OS and SW layers both
// probe msvcrt.dll, the SW and GPIB layers visa32.dll).
void CompareLibraries(CCollector& out, const Json& before, const Json& after, std::map<std::string, bool>& compared) {
  MatchByKey(List(before, "libraries"), List(after, "libraries"), "name",
             [&](const std::string& name, const Json* old, const Json* now) {
               if (old == nullptr || now == nullptr || compared[name]) return;
               compared[name] = true;
               if (Present(*old) != Present(*now)) {
                 if (Present(*now)) {
                   out.Add("library_appeared", name, Json(), Text(*now, "found"));
                 } else {
                   out.Add("library_disappeared", name, Text(*old, "found"), CopyPaths(*now));
                 }
                 return;
               }
               if (!Present(*now)) {
                 if (CopyPaths(*old) != CopyPaths(*now)) out.Add("library_moved", name, CopyPaths(*old), CopyPaths(*now));
                 return;
               }
               for (const char* field : {"found", "version", "version_string", "publisher"}) {
                 const Json was = TextOrNull(*old, field);
                 const Json is = TextOrNull(*now, field);
                 if (was != is) out.Add(std::string("library_") + field, name, was, is);
               }
             });
}

// What the PC is, without what changes by itself (free memory).
void CompareSystem(CCollector& out, const Json& before, const Json& after) {
  const Json& old = Field(before, "system");
  const Json& now = Field(after, "system");
  if (!old.is_object() || !now.is_object()) return;
  for (const char* field : {"operating_system", "version", "build", "service_pack"}) {
    if (Field(old, field) != Field(now, field)) {
      out.Add(std::string("system_") + field, "Windows", Field(old, field), Field(now, field));
    }
  }
  const Json& oldMemory = Field(Field(old, "memory"), "total_mb");
  const Json& newMemory = Field(Field(now, "memory"), "total_mb");
  if (oldMemory != newMemory) out.Add("system_memory", "RAM (MB)", oldMemory, newMemory);
}

// The resources of every interface scanned, in the order of the report.
Json Resources(const Json& layer) {
  Json resources = Json::array();
  for (const Json& board : List(layer, "boards")) {
    for (const Json& resource : List(board, "resources")) resources.push_back(resource);
  }
  return resources;
}

// An instrument that is listed but gives no identification does not answer.
bool Answers(const Json& resource) {
  const Json identification = TextOrNull(resource, "identification");
  return identification.is_string() && !identification.get<std::string>().empty();
}

void CompareResources(CCollector& out, const Json& before, const Json& after) {
  MatchByKey(Resources(before), Resources(after), "resource",
             [&](const std::string& name, const Json* old, const Json* now) {
               if (old == nullptr) {
                 out.Add("resource_appeared", name, Json(), TextOrNull(*now, "identification"));
               } else if (now == nullptr) {
                 out.Add("resource_disappeared", name, TextOrNull(*old, "identification"), Json());
               } else if (Answers(*old) && !Answers(*now)) {
                 out.Add("resource_silent", name, TextOrNull(*old, "identification"), TextOrNull(*now, "identification"));
               } else {
                 CompareIdentification(out, "resource", name, TextOrNull(*old, "identification"),
                                       TextOrNull(*now, "identification"));
               }
             });
}

std::string Shown(const Json& value) {
  if (value.is_string()) return value.get<std::string>();
  if (value.is_null()) return "none";
  return value.dump();
}

std::string Dbm(const Json& value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f dBm", value.is_number() ? value.get<double>() : 0.0);
  return text;
}

}  // namespace

std::vector<CChange> CompareReports(const Json& before, const Json& after, double toleranceDb) {
  std::vector<CChange> changes;
  CompareVisaLibraries(before, after, changes);
  const Json& oldLayers = List(before, "layers");
  // Mainframes are GPIB instruments too: their identification is compared once,
  // in the GPIB layer, when both reports list its resources.
  bool resources = true;
  for (const Json* report : {&before, &after}) {
    bool listed = false;
    for (const Json& layer : List(*report, "layers")) listed |= Field(layer, "boards").is_array();
    resources &= listed;
  }
  std::map<std::string, bool> libraries;
  for (const Json& layer : List(after, "layers")) {
    const std::string name = Text(layer, "name");
    const Json* old = nullptr;
    for (const Json& candidate : oldLayers) {
      if (Text(candidate, "name") == name) old = &candidate;
    }
    if (old == nullptr) continue;
    CCollector out(changes, name);
    const std::string item = name + " layer";
    if (Text(*old, "verdict") != Text(layer, "verdict")) out.Add("verdict", item, Field(*old, "verdict"), Field(layer, "verdict"));
    if (Field(*old, "error_code") != Field(layer, "error_code")) {
      out.Add("error_code", item, Field(*old, "error_code"), Field(layer, "error_code"));
    }
    CompareSystem(out, *old, layer);
    CompareLibraries(out, *old, layer, libraries);
    if (resources) CompareResources(out, *old, layer);
    if (name == "Instrument") CompareMainframes(out, *old, layer, !resources);
    if (name == "Optical") CompareReadings(out, *old, layer, toleranceDb);
    CompareErrorLines(out, *old, layer);
  }
  return changes;
}

std::string ChangeLine(const CChange& change) {
  if (IsVisaChange(change)) return VisaChangeLine(change);
  const std::string& kind = change.kind;
  const std::string head = change.item + ": ";
  if (kind == "error_new") return "new error: " + Shown(change.newValue);
  if (kind == "reading_changed") {
    char difference[32];
    std::snprintf(difference, sizeof difference, "%+.2f dB",
                  change.newValue.get<double>() - change.oldValue.get<double>());
    return head + "power " + Dbm(change.oldValue) + " -> " + Dbm(change.newValue) + " (" + difference + ")";
  }
  if (kind == "reading_unreadable") return head + "power no longer readable (was " + Dbm(change.oldValue) + ")";
  if (kind == "module_moved") return head + "module moved to slot " + Shown(change.newValue);
  if (kind == "resource_silent") return head + "no longer answers (was " + Shown(change.oldValue) + ")";
  if (kind == "verdict") {
    return head + "verdict " + (change.oldValue == "failed" ? "FAILED" : "OK") + " -> " +
           (change.newValue == "failed" ? "FAILED" : "OK");
  }
  if (kind == "error_code") return head + "error code " + Shown(change.oldValue) + " -> " + Shown(change.newValue);
  const size_t underscore = kind.find('_');
  const std::string what = underscore == std::string::npos ? kind : kind.substr(underscore + 1);
  if (what == "appeared") return head + "appeared: " + Shown(change.newValue);
  if (what == "disappeared") return head + "no longer found (was " + Shown(change.oldValue) + ")";
  if (what == "moved") return head + "moved from " + Shown(change.oldValue) + " to " + Shown(change.newValue);
  std::string field = what;
  for (char& c : field) c = c == '_' ? ' ' : c;
  if (field == "serial") field = "serial number";
  return head + field + " " + Shown(change.oldValue) + " -> " + Shown(change.newValue);
}

nlohmann::ordered_json ChangesJson(const std::vector<CChange>& changes) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const CChange& change : changes) {
    nlohmann::ordered_json entry;
    entry["kind"] = change.kind;
    entry["layer"] = change.layer;
    entry["item"] = change.item;
    entry["old"] = nlohmann::ordered_json(change.oldValue);
    entry["new"] = nlohmann::ordered_json(change.newValue);
    list.push_back(entry);
  }
  return list;
}
