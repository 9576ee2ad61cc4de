#pragma once
// A report window that keeps what was inserted, and every insertion in order:
// each insertion costs the real edit control a layout of its text, so tests
// count them. With a journal set, each insertion is logged there too, so its
// place among other calls (a driver's listing, a sweep's wait) can be read.
#include <string>
#include <vector>

#include "report/LayerCheck.h"

class FakeReportWindow : public IReportWindow {
 public:
  void ReplaceSelection(const char* text) override {
    m_text += text;
    m_inserts.emplace_back(text);
    if (m_journal != nullptr) m_journal->push_back(std::string(kJournalPrefix) + text);
  }
  const std::string& Text() const { return m_text; }
  const std::vector<std::string>& Inserts() const { return m_inserts; }
  int InsertCount() const { return static_cast<int>(m_inserts.size()); }
  void Clear() {
    m_text.clear();
    m_inserts.clear();
  }
  void SetJournal(std::vector<std::string>* journal) { m_journal = journal; }

  static constexpr const char* kJournalPrefix = "window ";

 private:
  std::string m_text;
  std::vector<std::string> m_inserts;
  std::vector<std::string>* m_journal = nullptr;
};
