#pragma once
// A progress sink that keeps every caption text a check shows and counts the
// points where it lets the window paint.
#include <string>
#include <vector>

#include "report/LayerCheck.h"

class FakeProgress : public ICheckProgress {
 public:
  void ShowProgress(const char* text) override {
    ++m_paints;
    if (text != nullptr) m_texts.emplace_back(text);
  }
  const std::vector<std::string>& Texts() const { return m_texts; }
  int Paints() const { return m_paints; }

 private:
  std::vector<std::string> m_texts;
  int m_paints = 0;
};
