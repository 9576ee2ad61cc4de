#include "app/VisaCompare.h"

#include <map>

const char kVisaChangeGroup[] = "VISA";

namespace {

using Json = nlohmann::json;

// Values of a report read from a file are of any type: every access checks it.
Json Member(const Json& object, const char* name) {
  if (!object.is_object()) return Json();
  const auto found = object.find(name);
  return found != object.end() ? *found : Json();
}

Json TextOrNull(const Json& object, const char* name) {
  const Json value = Member(object, name);
  return value.is_string() ? value : Json();
}

std::string Text(const Json& object, const char* name) {
  const Json value = TextOrNull(object, name);
  return value.is_string() ? value.get<std::string>() : std::string();
}

// Each item of a list by its key, with what a person reads of it.
struct CItem {
  std::string item;
  std::string description;
};
using Items = std::map<std::string, CItem>;

Items Copies(const Json& visa) {
  Items items;
  const Json copies = Member(visa, "copies");
  if (!copies.is_array()) return items;
  for (const Json& copy : copies) {
    // The 64-bit system folder names its files as the 32-bit view does: it is told apart.
    const bool searched = Member(copy, "searched") != Json(false);
    const std::string where = searched ? std::string() : " (" + Text(copy, "folder") + ")";
    const std::string version = Text(copy, "version");
    items[Text(copy, "path") + where] = {Text(copy, "path") + where,
                                         version.empty() ? "no version information"
                                                         : version + ", " + Text(copy, "publisher")};
  }
  return items;
}

Items RegistryEntries(const Json& visa) {
  Items items;
  const Json entries = Member(visa, "registry");
  if (!entries.is_array()) return items;
  for (const Json& entry : entries) {
    const std::string view = Text(entry, "view");
    const std::string name = Text(entry, "name");
    const std::string item = (view.empty() ? "" : view + " ") + Text(entry, "key") + "\\" +
                             (name.empty() ? "(default)" : name);
    items[item] = {item, Text(entry, "data")};
  }
  return items;
}

void CompareItems(const Items& old, const Items& now, const std::string& what, std::vector<CChange>& changes) {
  auto add = [&](const std::string& kind, const std::string& item, Json was, Json is) {
    changes.push_back({"visa_" + what + "_" + kind, kVisaChangeGroup, item, std::move(was), std::move(is)});
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

void CompareVisaLibraries(const Json& before, const Json& after, std::vector<CChange>& changes) {
  const Json old = Member(before, "visa_libraries");
  const Json now = Member(after, "visa_libraries");
  if (!old.is_object() || !now.is_object()) return;
  // The loaded library first: a bench that now gets another VISA is what matters most.
  const Json oldLoaded = Member(old, "loaded");
  const Json newLoaded = Member(now, "loaded");
  std::vector<std::pair<const char*, std::pair<Json, Json>>> loaded;
  for (const char* field : {"path", "version", "publisher"}) {
    loaded.push_back({field, {TextOrNull(oldLoaded, field), TextOrNull(newLoaded, field)}});
  }
  loaded.push_back({"maker", {TextOrNull(Member(old, "self"), "maker"), TextOrNull(Member(now, "self"), "maker")}});
  for (const auto& [field, values] : loaded) {
    if (values.first != values.second) {
      changes.push_back({std::string("visa_loaded_") + field, kVisaChangeGroup, "visa32.dll loaded", values.first,
                         values.second});
    }
  }
  CompareItems(Copies(old), Copies(now), "copy", changes);
  CompareItems(RegistryEntries(old), RegistryEntries(now), "registry", changes);
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
