#pragma once
// What a check finds, kept as data while it writes its report: one tree of
// objects, lists and values that the machine-readable report is written from.
// The check fills it at the place where it writes each finding, so the data
// and the report text cannot drift apart.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

// 8-bit report text (the program's code page) as UTF-8, byte for byte as Latin-1.
std::string Latin1ToUtf8(const std::string& text);

class CFindings {
 public:
  using Tree = nlohmann::ordered_json;

  CFindings();
  ~CFindings();
  CFindings(const CFindings&) = delete;
  CFindings& operator=(const CFindings&) = delete;

  // The object under key becomes the current one (made when absent).
  void Enter(const char* key);
  // A new object at the end of the list under key becomes the current one.
  void Add(const char* list);
  // Back to the object that was current before the last Enter or Add.
  void Leave();

  // Values of the current object; texts are the report's 8-bit text.
  void Set(const char* key, const std::string& text);
  void SetInteger(const char* key, int64_t value);
  void SetBool(const char* key, bool value);
  void SetNumber(const char* key, double value);
  void SetNull(const char* key);
  void SetEmptyList(const char* key);
  // A text in the outermost object, wherever the current one is.
  void SetTop(const char* key, const std::string& text);
  // A text at the end of the list under key.
  void Append(const char* list, const std::string& text);
  // The words of text (markup and surrounding blanks left out), after those
  // already under key, one blank between.
  void AppendWords(const char* key, const std::string& text);

  Tree& Current();
  const Tree& Root() const;

 private:
  std::unique_ptr<Tree> m_root;
  // The path from the root to the current object.
  std::vector<Tree*> m_path;
};
