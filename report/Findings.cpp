#include "report/Findings.h"

#include <nlohmann/json.hpp>

#include "report/Markup.h"

std::string Latin1ToUtf8(const std::string& text) {
  std::string utf8;
  utf8.reserve(text.size());
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      utf8 += c;
    } else {
      utf8 += static_cast<char>(0xC0 | (byte >> 6));
      utf8 += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return utf8;
}

namespace {

std::string Trimmed(const std::string& text) {
  const char* blanks = " \t\r\n";
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

void SetEmpty(CFindings::Tree& value, const CFindingField& field);

// An object with every finding of record at its empty value, in the record's order.
CFindings::Tree EmptyObject(const CFindingRecord& record) {
  CFindings::Tree object = CFindings::Tree::object();
  for (const CFindingField* field : record) SetEmpty(object[field->key], *field);
  return object;
}

// A finding's value until the check has found it: null, an empty list, or an
// object whose own findings are empty.
void SetEmpty(CFindings::Tree& value, const CFindingField& field) {
  switch (field.type) {
    case FindingType::Text: value = ""; break;
    case FindingType::Integer: value = 0; break;
    case FindingType::Number: value = 0.0; break;
    case FindingType::Bool: value = false; break;
    case FindingType::Texts:
    case FindingType::Objects: value = nlohmann::ordered_json::array(); break;
    case FindingType::Object: value = EmptyObject(*field.of); break;
    default: value = nullptr; break;
  }
}

}  // namespace

CFindings::CFindings() : m_root(std::make_unique<Tree>(Tree::object())) { m_path.push_back(m_root.get()); }

CFindings::~CFindings() = default;

void CFindings::Hold(const CFindingField& field) { SetEmpty(Current()[field.key], field); }

// Only the current object changes, so the addresses of the objects on the
// path stay valid: each lives in its parent, which is not touched meanwhile.
void CFindings::Enter(const CFindingField& field) {
  Tree& child = Current()[field.key];
  if (!child.is_object()) child = EmptyObject(*field.of);
  m_path.push_back(&child);
}

void CFindings::Add(const CFindingField& list) {
  Tree& items = Current()[list.key];
  if (!items.is_array()) items = Tree::array();
  items.push_back(EmptyObject(*list.of));
  m_path.push_back(&items.back());
}

void CFindings::Leave() {
  if (m_path.size() > 1) m_path.pop_back();
}

void CFindings::Set(const CFindingField& field, const std::string& text) { Current()[field.key] = Latin1ToUtf8(text); }

void CFindings::SetTop(const CFindingField& field, const std::string& text) {
  (*m_root)[field.key] = Latin1ToUtf8(text);
}

void CFindings::SetInteger(const CFindingField& field, int64_t value) { Current()[field.key] = value; }

void CFindings::SetBool(const CFindingField& field, bool value) { Current()[field.key] = value; }

void CFindings::SetNumber(const CFindingField& field, double value) { Current()[field.key] = value; }

void CFindings::SetEmptyList(const CFindingField& field) { Current()[field.key] = Tree::array(); }

void CFindings::Append(const CFindingField& list, const std::string& text) {
  Tree& items = Current()[list.key];
  if (!items.is_array()) items = Tree::array();
  items.push_back(Latin1ToUtf8(text));
}

void CFindings::AppendWords(const CFindingField& field, const std::string& text) {
  const std::string words = Latin1ToUtf8(Trimmed(MarkupToText(text)));
  Tree& value = Current()[field.key];
  if (!value.is_string() || value.get_ref<const std::string&>().empty()) {
    value = words;
  } else if (!words.empty()) {
    value = value.get<std::string>() + " " + words;
  }
}

void CFindings::AddError(const std::string& line) { m_errors.push_back(line); }

CFindings::Tree& CFindings::Current() { return *m_path.back(); }

const CFindings::Tree& CFindings::Root() const { return *m_root; }
