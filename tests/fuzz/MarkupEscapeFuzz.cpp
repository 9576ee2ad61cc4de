// Outside text (an instrument's answer, a company name, a path) written into
// the report: verbatim in the window, and in the document as text that no
// browser takes for markup: no "<" or ">", each "&" an entity of ours.
#include <nlohmann/json.hpp>

#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = FuzzBytes(data, size).c_str();
  CFuzzReport report;
  CLayerCheck check;
  report.Attach(check);
  check.WriteExternal(check.Keep(Finding::VisaWarning::text, text.c_str()));
  check.Flush();
  FuzzExpect(report.window.Text() == text, "the window shows the text as it came");

  std::string unescaped;
  for (size_t i = 0; i < report.document.size(); ++i) {
    const char c = report.document[i];
    FuzzExpect(c != '<' && c != '>', "no markup from outside text", report.document);
    if (c != '&') {
      unescaped += c;
      continue;
    }
    static const struct {
      const char* entity;
      char character;
    } kEntities[] = {{"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}};
    bool known = false;
    for (const auto& entity : kEntities) {
      if (report.document.compare(i, std::strlen(entity.entity), entity.entity) != 0) continue;
      unescaped += entity.character;
      i += std::strlen(entity.entity) - 1;
      known = true;
    }
    FuzzExpect(known, "each & begins an entity", report.document.substr(i));
  }
  FuzzExpect(unescaped == text, "the document's text is the text");
  // The record keeps it too: the JSON report is written from it.
  check.Findings().Root().dump();
  return 0;
}
