#include "app/VisaCompare.h"

#include <map>

#include "report/FindingList.h"

const char kVisaChangeGroup[] = "VISA";

namespace {

using Json = nlohmann::ordered_json;

// Values of a report read from a file are of any type: every access checks it.
Json Member(const Json& object, const CFindingField& field) {
  if (!object.is_object()) return Json();
  const auto found = object.find(field.key);
  return found != object.end() ? *found : Json();
}

Json TextOrNull(const Json& object, const CFindingField& field) {
  const Json value = Member(object, field);
  return value.is_string() ? value : Json();
}

std::string Text(const Json& object, const CFindingField& field) {
  const Json value = TextOrNull(object, field);
  return value.is_string() ? value.get<std::string>() : std::string();
}

// Each item of a list by its key, with what a person reads of it.
struct CItem {
  std::string item;
  std::string description;
};
using Items = std::map<std::string, CItem>;

Items Copies(const Json& list) {
  namespace Copy = Finding::VisaCopy;
  Items items;
  if (!list.is_array()) return items;
  for (const Json& copy : list) {
    // The 64-bit system folder names its files as the 32-bit view does: it is told apart.
    const bool searched = Member(copy, Copy::searched) != Json(false);
    const std::string where = searched ? std::string() : " (" + Text(copy, Copy::folder) + ")";
    const std::string version = Text(copy, Copy::version);
    const std::string path = Text(copy, Copy::path);
    items[path + where] = {path + where,
                           version.empty() ? "no version information" : version + ", " + Text(copy, Copy::publisher)};
  }
  return items;
}

Items RegistryValues(const Json& list) {
  namespace Value = Finding::VisaRegistry;
  Items items;
  if (!list.is_array()) return items;
  for (const Json& entry : list) {
    const std::string view = Text(entry, Value::view);
    const std::string name = Text(entry, Value::name);
    const std::string item = (view.empty() ? "" : view + " ") + Text(entry, Value::key) + "\\" +
                             (name.empty() ? "(default)" : name);
    items[item] = {item, Text(entry, Value::data)};
  }
  return items;
}

void CompareItems(const Items& old, const Items& now, const std::string& change, std::vector<CChange>& changes) {
  auto add = [&](const char* how, const std::string& item, Json was, Json is) {
    changes.push_back({change + "_" + how, kVisaChangeGroup, item, std::move(was), std::move(is), ChangeForm::Values, ""});
  };
  for (const auto& [key, item] : now) {
    const auto found = old.find(key);
    if (found == old.end()) {
      add("appeared", item.item, Json(), item.description);
    } else if (found->second.description != item.description) {
      add("changed", item.item, found->second.description, item.description);
    }
  }
  for (const auto& [key, item] : old) {
    if (now.count(key) == 0) add("disappeared", item.item, item.description, Json());
  }
}

std::string Shown(const Json& value) { return value.is_string() ? value.get<std::string>() : "none"; }

}  // namespace

void CompareVisaLibraries(const Json& old, const Json& now, std::vector<CChange>& changes) {
  namespace Run = Finding::VisaRun;
  if (!old.is_object() || !now.is_object()) return;
  // The loaded library first: a bench that now gets another VISA is what matters most.
  for (const CFindingField* part : {&Run::loaded, &Run::self}) {
    for (const CFindingField* field : *part->of) {
      if (field->compare != FindingCompare::Exact) continue;
      const Json was = TextOrNull(Member(old, *part), *field);
      const Json is = TextOrNull(Member(now, *part), *field);
      if (was == is) continue;
      changes.push_back({field->change, kVisaChangeGroup, kVisaLoadedRecord.item, was, is, ChangeForm::Values,
                         field->words});
    }
  }
  for (const CFindingField* field : kVisaRunRecord) {
    if (field->compare != FindingCompare::Items) continue;
    Items (*items)(const Json&) = field == &Run::copies ? &Copies : &RegistryValues;
    CompareItems(items(Member(old, *field)), items(Member(now, *field)), field->change, changes);
  }
}

bool IsVisaChange(const CChange& change) { return change.kind.rfind("visa_", 0) == 0; }

std::string VisaChangeLine(const CChange& change) {
  const std::string what = change.kind.substr(change.kind.rfind('_') + 1);
  const std::string head = change.item + ": ";
  if (what == "appeared") return head + "appeared: " + Shown(change.newValue);
  if (what == "disappeared") return head + "no longer found (was " + Shown(change.oldValue) + ")";
  if (what == "changed") return head + Shown(change.oldValue) + " -> " + Shown(change.newValue);
  return head + what + " " + Shown(change.oldValue) + " -> " + Shown(change.newValue);
}

std::string ChangeGroupTitle(const std::string& layer) {
  return layer == kVisaChangeGroup ? "VISA libraries" : layer + " layer";
}
