#include "app/ReportCompare.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <set>

#include "app/VisaCompare.h"
#include "report/FindingList.h"

namespace {

using Json = nlohmann::ordered_json;

const Json kNull;

// Values of a report read from a file are of any type: every access checks it.
const Json& Field(const Json& object, const CFindingField& field) {
  if (!object.is_object()) return kNull;
  const auto found = object.find(field.key);
  return found != object.end() ? *found : kNull;
}

const Json& List(const Json& object, const CFindingField& field) {
  static const Json empty = Json::array();
  const Json& list = Field(object, field);
  return list.is_array() ? list : empty;
}

std::string Text(const Json& value) { return value.is_string() ? value.get<std::string>() : std::string(); }

// A string, or null for anything else (a module that did not answer).
Json TextOrNull(const Json& value) { return value.is_string() ? value : Json(); }

const CFindingField* FieldOfRule(const CFindingRecord& record, std::initializer_list<FindingCompare> rules) {
  for (const CFindingField* field : record) {
    for (FindingCompare rule : rules) {
      if (field->compare == rule) return field;
    }
  }
  return nullptr;
}

// What an item is known by: its identity's value; a number as a whole number
// (-1 when it has none).
std::string IdentityText(const CFindingRecord& record, const Json& object) {
  const CFindingField* identity = FieldOfRule(record, {FindingCompare::Identity});
  if (identity == nullptr) return std::string();
  const Json& value = Field(object, *identity);
  if (identity->type != FindingType::Integer) return Text(value);
  // -1 too for a number no int holds (1e300 in a report that is not ours).
  const double number = value.is_number() ? value.get<double>() : -1;
  return std::to_string(number > -2147483648.0 && number < 2147483648.0 ? static_cast<int>(number) : -1);
}

// What a change in the record names: its item form filled in.
std::string ItemOf(const CFindingRecord& record, const Json& object, const std::string& parent) {
  std::string form = record.item;
  std::string item;
  if (!form.empty() && form[0] == '+') {
    item = parent + " ";
    form.erase(0, 1);
  }
  const size_t at = form.find("%s");
  if (at == std::string::npos) return item + form;
  return item + form.substr(0, at) + IdentityText(record, object) + form.substr(at + 2);
}

// What an item that appeared or went away is shown as: its identification.
Json DescriptionOf(const CFindingRecord& record, const Json& object) {
  const CFindingField* answer = FieldOfRule(
      record, {FindingCompare::Identification, FindingCompare::Answer, FindingCompare::Unlisted});
  return answer != nullptr ? TextOrNull(Field(object, *answer)) : Json();
}

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

// Items of two lists matched by their identity; those of the new list in its
// order, then those only in the old one in theirs.
template <class Visit>
void MatchByIdentity(const Json& before, const Json& after, const CFindingRecord& record, Visit visit) {
  std::map<std::string, const Json*> old;
  for (const Json& item : before) old.emplace(IdentityText(record, item), &item);
  std::set<std::string> seen;
  for (const Json& item : after) {
    const std::string name = IdentityText(record, item);
    if (!seen.insert(name).second) continue;
    const auto found = old.find(name);
    visit(name, found != old.end() ? found->second : nullptr, &item);
  }
  for (const Json& item : before) {
    const std::string name = IdentityText(record, item);
    if (!seen.insert(name).second) continue;
    visit(name, &item, nullptr);
  }
}

struct CModulePair {
  const Json* before = nullptr;
  const Json* after = nullptr;
};

int SlotOf(const Json& slot) { return std::stoi(IdentityText(kSlotRecord, slot)); }

// A module is known by its identification, so one that moved to another slot is
// the same module; modules that did not answer are known by their slot.
std::vector<CModulePair> PairModules(const Json& old, const Json& now) {
  namespace Slot = Finding::Slot;
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
    const Json identification = TextOrNull(Field(a, Slot::identification));
    return identification.is_string() && identification == TextOrNull(Field(b, Slot::identification));
  };
  pair([&](const Json& a, const Json& b) { return SlotOf(a) == SlotOf(b) && sameModule(a, b); });
  pair(sameModule);
  pair([](const Json& a, const Json& b) {
    return SlotOf(a) == SlotOf(b) && Field(a, Slot::type_code) == Field(b, Slot::type_code);
  });
  for (size_t n = 0; n < now.size(); ++n) {
    if (!newTaken[n]) pairs.push_back({nullptr, &now[n]});
  }
  for (size_t o = 0; o < old.size(); ++o) {
    if (!oldTaken[o]) pairs.push_back({&old[o], nullptr});
  }
  return pairs;
}

Json ModuleDescription(const Json& slot) {
  const std::string module = Text(Field(slot, Finding::Slot::module));
  const Json identification = TextOrNull(Field(slot, Finding::Slot::identification));
  if (!identification.is_string()) return module + " (no answer)";
  return module + ", " + identification.get<std::string>();
}

// A library found by its name, loadable or not.
bool Present(const Json& library, const CFindingField& found) {
  const std::string text = Text(Field(library, found));
  return text == "accessible" || text == "not loadable";
}

// Where a missing library's copies lie on the drive; null for none found.
Json CopyPaths(const Json& library) {
  std::string paths;
  for (const Json& copy : List(library, Finding::Library::copies)) {
    paths += (paths.empty() ? "" : ", ") + Text(Field(copy, Finding::Library::name));
  }
  return paths.empty() ? Json() : Json(paths);
}

// A reading as the report holds it: null when it failed or is missing.
Json Reading(const Json& measurement, const CFindingField& value) {
  const Json& valid = Field(measurement, Finding::Measurement::valid);
  const Json& reading = Field(measurement, value);
  return valid.is_boolean() && valid.get<bool>() && reading.is_number() ? reading : Json();
}

// An instrument that is listed but gives no identification does not answer.
bool Answers(const Json& identification) { return identification.is_string() && !Text(identification).empty(); }

bool IsContainer(const CFindingField& field) {
  switch (field.type) {
    case FindingType::Texts:
    case FindingType::Object:
    case FindingType::ObjectOrNull:
    case FindingType::Objects:
    case FindingType::ObjectsOrNull:
      return true;
    default:
      return false;
  }
}

// Whether the report lists instruments by interface in one of its layers.
bool ListsInterfaces(const Json& report) {
  for (const Json& layer : List(report, Finding::Report::layers)) {
    for (const CFindingField* field : kLayerRecord) {
      if (field->compare == FindingCompare::Interfaces && Field(layer, *field).is_array()) return true;
    }
  }
  return false;
}

// One comparison of two reports, layer by layer: each finding by its rule.
class CComparison {
 public:
  CComparison(std::vector<CChange>& changes, double toleranceDb, bool interfacesListed)
      : m_changes(changes), m_toleranceDb(toleranceDb), m_interfacesListed(interfacesListed) {}

  // What the report holds beside its layers.
  void CompareReport(const Json& before, const Json& after) { CompareRecord(kReportRecord, before, after, "", true); }

  void CompareLayer(const Json& before, const Json& after) {
    m_layer = Text(Field(after, Finding::LayerRun::name));
    CompareRecord(kLayerRunRecord, before, after, ItemOf(kLayerRunRecord, after, ""), true);
  }

 private:
  void Add(const std::string& kind, ChangeForm form, const char* words, const std::string& item, Json oldValue,
           Json newValue) {
    m_changes.push_back({kind, m_layer, item, std::move(oldValue), std::move(newValue), form, words});
  }

  // A record's values first, then its objects and lists, each in the declared
  // order. inventory: what the bench holds is compared, not only its readings
  // (an item is inventoried once in a run, where it is first listed).
  void CompareRecord(const CFindingRecord& record, const Json& before, const Json& after, const std::string& item,
                     bool inventory) {
    for (bool containers : {false, true}) {
      for (const CFindingField* field : record) {
        if (IsContainer(*field) != containers) continue;
        if (!CompareField(*field, before, after, item, inventory)) return;
      }
    }
  }

  // False when the rest of the record is not compared.
  bool CompareField(const CFindingField& field, const Json& before, const Json& after, const std::string& item,
                    bool inventory) {
    const Json& was = Field(before, field);
    const Json& is = Field(after, field);
    switch (field.compare) {
      case FindingCompare::Ignored:
      case FindingCompare::Identity:
        return true;
      case FindingCompare::Exact:
        if (inventory && was != is) Add(field.change, ChangeForm::Values, field.words, item, was, is);
        return true;
      case FindingCompare::Verdict:
        if (inventory && Text(was) != Text(is)) Add(field.change, ChangeForm::Verdict, field.words, item, was, is);
        return true;
      case FindingCompare::Presence:
        return !inventory || ComparePresence(field, before, after, item);
      case FindingCompare::Identification:
        if (inventory) CompareIdentification(field.change, item, TextOrNull(was), TextOrNull(is));
        return true;
      case FindingCompare::Answer:
        if (!inventory) return true;
        if (Answers(was) && !Answers(is)) {
          Add(std::string(field.change) + "_silent", ChangeForm::Silent, "", item, TextOrNull(was), TextOrNull(is));
        } else {
          CompareIdentification(field.change, item, TextOrNull(was), TextOrNull(is));
        }
        return true;
      case FindingCompare::Unlisted:
        // Mainframes are GPIB instruments too: compared there when both reports list them.
        if (inventory && !m_interfacesListed) CompareIdentification(field.change, item, TextOrNull(was), TextOrNull(is));
        return true;
      case FindingCompare::Tolerance:
        CompareReading(field, before, after, item);
        return true;
      case FindingCompare::NewLines:
        CompareLines(field, was, is);
        return true;
      case FindingCompare::Record:
        if (was.is_object() && is.is_object()) CompareRecord(*field.of, was, is, ItemOf(*field.of, is, item), inventory);
        return true;
      case FindingCompare::Inline:
        CompareRecord(*field.of, before, after, item, inventory);
        return true;
      case FindingCompare::Known:
        CompareKnown(field, List(before, field), List(after, field), item);
        return true;
      case FindingCompare::Items:
        CompareItems(field, List(before, field), List(after, field), item, inventory);
        return true;
      case FindingCompare::Modules:
        CompareModules(field, List(before, field), List(after, field), item, inventory);
        return true;
      case FindingCompare::Channels:
        CompareChannels(field, List(before, field), List(after, field), item, inventory);
        return true;
      case FindingCompare::Interfaces:
        CompareInterfaces(field, List(before, field), List(after, field), item, inventory);
        return true;
      case FindingCompare::VisaLibraries:
        CompareVisaLibraries(was, is, m_changes);
        return true;
    }
    return true;
  }

  void CompareIdentification(const std::string& prefix, const std::string& item, const Json& before,
                             const Json& after) {
    if (before == after) return;
    const std::vector<std::string> old = SplitIdentification(Text(before));
    const std::vector<std::string> now = SplitIdentification(Text(after));
    if (!before.is_string() || !after.is_string() || old.size() != 4 || now.size() != 4) {
      Add(prefix + "_identification", ChangeForm::Values, "identification", item, before, after);
      return;
    }
    const char* kinds[] = {"maker", "model", "serial", "firmware"};
    const char* words[] = {"maker", "model", "serial number", "firmware"};
    for (size_t i = 0; i < 4; ++i) {
      if (old[i] != now[i]) Add(prefix + "_" + kinds[i], ChangeForm::Values, words[i], item, old[i], now[i]);
    }
  }

  bool ComparePresence(const CFindingField& found, const Json& before, const Json& after, const std::string& item) {
    const std::string prefix = found.change;
    const bool was = Present(before, found);
    const bool is = Present(after, found);
    if (was != is) {
      if (is) {
        Add(prefix + "_appeared", ChangeForm::Appeared, "", item, Json(), Text(Field(after, found)));
      } else {
        Add(prefix + "_disappeared", ChangeForm::Disappeared, "", item, Text(Field(before, found)), CopyPaths(after));
      }
      return false;
    }
    if (!is) {
      if (CopyPaths(before) != CopyPaths(after)) {
        Add(prefix + "_moved", ChangeForm::Moved, "", item, CopyPaths(before), CopyPaths(after));
      }
      return false;
    }
    const Json old = TextOrNull(Field(before, found));
    const Json now = TextOrNull(Field(after, found));
    if (old != now) Add(prefix + "_" + found.key, ChangeForm::Values, found.words, item, old, now);
    return true;
  }

  void CompareReading(const CFindingField& field, const Json& before, const Json& after, const std::string& item) {
    const Json was = Reading(before, field);
    if (!was.is_number()) return;
    const Json is = Reading(after, field);
    const std::string prefix = field.change;
    if (!is.is_number()) {
      Add(prefix + "_unreadable", ChangeForm::Unreadable, field.words, item, was, Json());
    } else if (std::fabs(is.get<double>() - was.get<double>()) > m_toleranceDb) {
      Add(prefix + "_changed", ChangeForm::Reading, field.words, item, was, is);
    }
  }

  // Lines of a report written before they were kept are not compared.
  void CompareLines(const CFindingField& field, const Json& before, const Json& after) {
    if (!before.is_array() || !after.is_array()) return;
    std::map<std::string, int> old;
    for (const Json& line : before) ++old[Text(line)];
    for (const Json& line : after) {
      if (old[Text(line)]-- > 0) continue;
      Add(field.change, ChangeForm::NewLine, field.words, "error", Json(), line);
    }
  }

  // Each item once in a run, in the first layer that lists it (the OS and SW
  // layers both probe msvcrt.dll, the SW and GPIB layers visa32.dll).
  void CompareKnown(const CFindingField& field, const Json& before, const Json& after, const std::string& parent) {
    const CFindingRecord& record = *field.of;
    MatchByIdentity(before, after, record, [&](const std::string& name, const Json* was, const Json* is) {
                      if (was == nullptr || is == nullptr) return;
                      if (!m_compared.insert(std::string(record.name) + "|" + name).second) return;
                      CompareRecord(record, *was, *is, ItemOf(record, *is, parent), true);
                    });
  }

  void CompareItems(const CFindingField& field, const Json& before, const Json& after, const std::string& parent,
                    bool inventory) {
    const CFindingRecord& record = *field.of;
    const std::string prefix = field.change;
    MatchByIdentity(before, after, record, [&](const std::string& name, const Json* was, const Json* is) {
      const bool first = m_compared.insert(std::string(record.name) + "|" + name).second;
      const std::string item = ItemOf(record, is != nullptr ? *is : *was, parent);
      if (was == nullptr) {
        if (first && inventory) Add(prefix + "_appeared", ChangeForm::Appeared, "", item, Json(), DescriptionOf(record, *is));
      } else if (is == nullptr) {
        if (first && inventory) {
          Add(prefix + "_disappeared", ChangeForm::Disappeared, "", item, DescriptionOf(record, *was), Json());
        }
      } else {
        CompareRecord(record, *was, *is, item, inventory && first);
      }
    });
  }

  void CompareModules(const CFindingField& field, const Json& before, const Json& after, const std::string& parent,
                      bool inventory) {
    const CFindingRecord& record = *field.of;
    const std::string prefix = field.change;
    for (const CModulePair& pair : PairModules(before, after)) {
      if (pair.before == nullptr) {
        if (inventory) {
          Add(prefix + "_appeared", ChangeForm::Appeared, "", ItemOf(record, *pair.after, parent), Json(),
              ModuleDescription(*pair.after));
        }
        continue;
      }
      if (pair.after == nullptr) {
        if (inventory) {
          Add(prefix + "_disappeared", ChangeForm::Disappeared, "", ItemOf(record, *pair.before, parent),
              ModuleDescription(*pair.before), Json());
        }
        continue;
      }
      if (inventory && SlotOf(*pair.before) != SlotOf(*pair.after)) {
        Add(prefix + "_moved", ChangeForm::ModuleMoved, "", ItemOf(record, *pair.before, parent), SlotOf(*pair.before),
            SlotOf(*pair.after));
      }
      CompareRecord(record, *pair.before, *pair.after, ItemOf(record, *pair.after, parent), inventory);
    }
  }

  // A reading that is new is no change; one that is gone no longer reads.
  void CompareChannels(const CFindingField& field, const Json& before, const Json& after, const std::string& parent,
                       bool inventory) {
    const CFindingRecord& record = *field.of;
    MatchByIdentity(before, after, record, [&](const std::string&, const Json* was, const Json* is) {
      if (was == nullptr) return;
      CompareRecord(record, *was, is != nullptr ? *is : kNull, ItemOf(record, *was, parent), inventory);
    });
  }

  // The instruments of every interface as one list, in the order of the report.
  void CompareInterfaces(const CFindingField& field, const Json& before, const Json& after, const std::string& parent,
                         bool inventory) {
    if (!m_interfacesListed) return;
    const CFindingField* items = FieldOfRule(*field.of, {FindingCompare::Items});
    if (items == nullptr) return;
    Json old = Json::array();
    Json now = Json::array();
    for (const Json& board : before) {
      for (const Json& item : List(board, *items)) old.push_back(item);
    }
    for (const Json& board : after) {
      for (const Json& item : List(board, *items)) now.push_back(item);
    }
    CompareItems(*items, old, now, parent, inventory);
  }

  std::vector<CChange>& m_changes;
  double m_toleranceDb;
  bool m_interfacesListed;
  std::string m_layer;
  // "<record>|<identity>" of the items compared so far in the run.
  std::set<std::string> m_compared;
};

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

const char* Banner(const Json& verdict) { return verdict == "failed" ? "FAILED" : "OK"; }

}  // namespace

std::vector<CChange> CompareReports(const Json& before, const Json& after, double toleranceDb) {
  std::vector<CChange> changes;
  CComparison comparison(changes, toleranceDb, ListsInterfaces(before) && ListsInterfaces(after));
  comparison.CompareReport(before, after);
  const Json& oldLayers = List(before, Finding::Report::layers);
  for (const Json& layer : List(after, Finding::Report::layers)) {
    const std::string name = Text(Field(layer, Finding::LayerRun::name));
    const Json* old = nullptr;
    for (const Json& candidate : oldLayers) {
      if (Text(Field(candidate, Finding::LayerRun::name)) == name) old = &candidate;
    }
    if (old != nullptr) comparison.CompareLayer(*old, layer);
  }
  return changes;
}

std::string ChangeLine(const CChange& change) {
  if (IsVisaChange(change)) return VisaChangeLine(change);
  const std::string head = change.item + ": ";
  switch (change.form) {
    case ChangeForm::NewLine:
      return change.words + ": " + Shown(change.newValue);
    case ChangeForm::Reading: {
      char difference[32];
      std::snprintf(difference, sizeof difference, "%+.2f dB",
                    change.newValue.get<double>() - change.oldValue.get<double>());
      return head + change.words + " " + Dbm(change.oldValue) + " -> " + Dbm(change.newValue) + " (" + difference +
             ")";
    }
    case ChangeForm::Unreadable:
      return head + change.words + " no longer readable (was " + Dbm(change.oldValue) + ")";
    case ChangeForm::ModuleMoved:
      return head + "module moved to slot " + Shown(change.newValue);
    case ChangeForm::Silent:
      return head + "no longer answers (was " + Shown(change.oldValue) + ")";
    case ChangeForm::Verdict:
      return head + change.words + " " + Banner(change.oldValue) + " -> " + Banner(change.newValue);
    case ChangeForm::Appeared:
      return head + "appeared: " + Shown(change.newValue);
    case ChangeForm::Disappeared:
      return head + "no longer found (was " + Shown(change.oldValue) + ")";
    case ChangeForm::Moved:
      return head + "moved from " + Shown(change.oldValue) + " to " + Shown(change.newValue);
    case ChangeForm::Values:
      break;
  }
  return head + change.words + " " + Shown(change.oldValue) + " -> " + Shown(change.newValue);
}

Json ChangesJson(const std::vector<CChange>& changes) {
  namespace Change = Finding::Change;
  Json list = Json::array();
  for (const CChange& change : changes) {
    Json entry;
    entry[Change::kind.key] = change.kind;
    entry[Change::layer.key] = change.layer;
    entry[Change::item.key] = change.item;
    entry[Change::old.key] = change.oldValue;
    entry[Change::new_.key] = change.newValue;
    list.push_back(entry);
  }
  return list;
}
