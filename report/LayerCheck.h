#pragma once
// Base of every check: the task protocol, the findings it keeps, its progress,
// and the report writer it writes with.
#include <cstdint>
#include <string>

#include "report/Findings.h"
#include "report/ReportWriter.h"

// Where a running check says how far it has got, and the one way it lets the
// window paint: only painting (and the caption) goes through, never a command.
class ICheckProgress {
 public:
  virtual ~ICheckProgress() = default;
  // text: the step running, such as "SW layer: searching C: ..."; null keeps
  // the caption as it is and only lets the window paint.
  virtual void ShowProgress(const char* text) = 0;
  // Before a call that can block for long: the caption is made current now.
  // call names it for a caption that says the window closes once it has
  // ended ("the listing").
  virtual void ShowBlockingCall(const char* text, const char* call) {
    static_cast<void>(call);
    ShowProgress(text);
  }
  // False while the window was refreshed too recently: a check then keeps its
  // text for a later point, so a command of many short steps is not slowed by
  // its window.
  virtual bool RefreshDue() { return true; }
};

extern const char kInvalidTaskText[];  // "An error detected in task number <br>\r\n"
extern const char kBannerEnd[];        // "<br>\r\n<hr><br>\r\n"

// A layer as its check names it and ends its run, written once per layer.
struct CLayerTexts {
  // "OS": the header banner (with a blank after it), the caption, the verdict
  // banner and the JSON report.
  const char* name;
  // Its own tasks are 1 to tasks; the verdict is the task after them.
  int32_t tasks;
  // Written for a task number that is none of them.
  const char* invalidTask;
  // What follows the verdict banner's words.
  const char* bannerEnd;
};

class CLayerCheck : public CReportWriter {
 public:
  // A check of no layer: it has no tasks, and its first Step finishes it.
  CLayerCheck();
  explicit CLayerCheck(const CLayerTexts& layer);
  ~CLayerCheck() override;

  // The layer task protocol: the current task of the check's own, the verdict
  // after them, the invalid-task text for any other number; -1 once finished.
  virtual int Step();

  int Begin();
  // How a command starts the check: Begin, or what the check needs besides it.
  virtual int Start() { return Begin(); }

  // Null: the check runs without showing progress (and nothing is painted).
  void SetProgress(ICheckProgress* progress) { m_progress = progress; }
  // The point where the check lets the window paint, with what the caption
  // says the check is doing ("<layer> layer: " + detail), or null to keep it.
  void ReportProgress(const char* detail);
  // The same, unthrottled, before a call that can block for long; call names it
  // ("the listing").
  void ReportBlockingCall(const char* detail, const char* call);

  // Copies source without its markup; destination must hold strlen(source) + 1.
  static void MarkupToText(const char* source, char* destination);
  static std::string MarkupToText(const std::string& source);
  static std::string EscapeMarkup(const std::string& text);

  // A finding kept in the record in the same call that hands its text to a
  // writer: Write...(Keep(Finding::System::build, text)). The record gets the
  // text as the plain report shows it.
  const char* Keep(const CFindingField& field, const char* text);
  // value, kept as a number.
  int64_t KeepInteger(const CFindingField& field, int64_t value);
  // text, with its words added to those kept under field.
  const char* KeepWords(const CFindingField& field, const char* text);
  // text, kept at the end of the list under field.
  const char* KeepItem(const CFindingField& list, const char* text);

  CFindings& Findings() { return m_findings; }
  const CFindings& Findings() const { return m_findings; }

  int32_t Error() const { return m_error; }
  int32_t Task() const { return m_task; }
  const char* Name() const { return m_name; }

 protected:
  // Runs one of the check's own tasks; returns the task to run next.
  virtual int RunTask(int task) { return task + 1; }
  void SetName(const char* name);
  // The header banner: 46 asterisks, the bold title (closed by "</b>" in it),
  // the timestamp, 46 asterisks.
  void WriteHeaderBanner(const char* title);
  // The verdict banner: FAILED in red when m_error is not 0, else OK in green.
  void WriteVerdict();

  int32_t m_error = 0;
  int32_t m_task = 0;
  char m_name[16] = {};
  ICheckProgress* m_progress = nullptr;
  CFindings m_findings;
  // The caption of a step that came while the window was not due a refresh.
  std::string m_caption;

 private:
  const CLayerTexts* m_layer = nullptr;
};
