#include "report/Findings.h"

#include <nlohmann/json.hpp>

#include "report/LayerCheck.h"

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

}  // namespace

CFindings::CFindings() : m_root(std::make_unique<Tree>(Tree::object())) { m_path.push_back(m_root.get()); }

CFindings::~CFindings() = default;

// Only the current object changes, so the addresses of the objects on the
// path stay valid: each lives in its parent, which is not touched meanwhile.
void CFindings::Enter(const char* key) {
  Tree& child = Current()[key];
  if (!child.is_object()) child = Tree::object();
  m_path.push_back(&child);
}

void CFindings::Add(const char* list) {
  Tree& items = Current()[list];
  if (!items.is_array()) items = Tree::array();
  items.push_back(Tree::object());
  m_path.push_back(&items.back());
}

void CFindings::Leave() {
  if (m_path.size() > 1) m_path.pop_back();
}

void CFindings::Set(const char* key, const std::string& text) { Current()[key] = Latin1ToUtf8(text); }

void CFindings::SetTop(const char* key, const std::string& text) { (*m_root)[key] = Latin1ToUtf8(text); }

void CFindings::SetInteger(const char* key, int64_t value) { Current()[key] = value; }

void CFindings::SetBool(const char* key, bool value) { Current()[key] = value; }

void CFindings::SetNumber(const char* key, double value) { Current()[key] = value; }

void CFindings::SetNull(const char* key) { Current()[key] = nullptr; }

void CFindings::SetEmptyList(const char* key) { Current()[key] = Tree::array(); }

void CFindings::Append(const char* list, const std::string& text) {
  Tree& items = Current()[list];
  if (!items.is_array()) items = Tree::array();
  items.push_back(Latin1ToUtf8(text));
}

void CFindings::AppendWords(const char* key, const std::string& text) {
  const std::string words = Latin1ToUtf8(Trimmed(CLayerCheck::MarkupToText(text)));
  Tree& value = Current()[key];
  if (!value.is_string() || value.get_ref<const std::string&>().empty()) {
    value = words;
  } else if (!words.empty()) {
    value = value.get<std::string>() + " " + words;
  }
}

CFindings::Tree& CFindings::Current() { return *m_path.back(); }

const CFindings::Tree& CFindings::Root() const { return *m_root; }
