#pragma once
// What a check finds, kept as data while it writes its report: one tree of
// objects, lists and values that the machine-readable report is written from,
// each value under a finding of report/FindingList.h. The check fills it at the
// place where it writes each finding, so the data and the report text cannot
// drift apart; the writer adds the lines it writes as errors.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "report/FindingList.h"

// 8-bit report text (the program's code page) as UTF-8, byte for byte as Latin-1.
std::string Latin1ToUtf8(const std::string& text);

class CFindings {
 public:
  using Tree = nlohmann::ordered_json;

  CFindings();
  ~CFindings();
  CFindings(const CFindings&) = delete;
  CFindings& operator=(const CFindings&) = delete;

  // The finding is one of the current object's, with its empty value for now:
  // null, an empty list, or an object whose own findings are empty.
  void Hold(const CFindingField& field);
  // The object under field becomes the current one (made when it is none).
  void Enter(const CFindingField& field);
  // A new object at the end of the list under field becomes the current one.
  void Add(const CFindingField& list);
  // Back to the object that was current before the last Enter or Add.
  void Leave();

  // Values of the current object; texts are the report's 8-bit text.
  void Set(const CFindingField& field, const std::string& text);
  void SetInteger(const CFindingField& field, int64_t value);
  void SetBool(const CFindingField& field, bool value);
  void SetNumber(const CFindingField& field, double value);
  void SetEmptyList(const CFindingField& field);
  // A text in the outermost object, wherever the current one is.
  void SetTop(const CFindingField& field, const std::string& text);
  // A text at the end of the list under field.
  void Append(const CFindingField& list, const std::string& text);
  // The words of text (markup and surrounding blanks left out), after those
  // already under field, one blank between.
  void AppendWords(const CFindingField& field, const std::string& text);

  // A line the report shows as an error (8-bit, without its marker).
  void AddError(const std::string& line);
  const std::vector<std::string>& Errors() const { return m_errors; }

  Tree& Current();
  const Tree& Root() const;

 private:
  std::unique_ptr<Tree> m_root;
  // The path from the root to the current object.
  std::vector<Tree*> m_path;
  std::vector<std::string> m_errors;
};
