#pragma once
// Base of every check: the task state machine and the report writer that sends
// each text to the report window (plain) and the report document (markup).
#include <cstdint>
#include <string>
#include <vector>

#include "report/Findings.h"

// The report window as a check sees it: insert at the caret, replacing the
// selection, not undoable.
class IReportWindow {
 public:
  virtual ~IReportWindow() = default;
  virtual void ReplaceSelection(const char* text) = 0;
};

using ReportDocument = std::string;

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

// An error line of the report and the number of the call into a bench library
// behind it in the trace: the latest call that failed since the check's
// previous error line (calls an error report makes after its lines excepted);
// straight after an error line, with nothing written or called between, that
// line's call; else 0: the error is not a call's.
struct CErrorCall {
  std::string text;  // as the plain report shows it, on one line
  uint32_t call = 0;
};

// Output modes, the same for window and document.
constexpr int32_t kModeOff = 0;
constexpr int32_t kModePlain = 1;
constexpr int32_t kModeMarkup = 2;

class CLayerCheck {
 public:
  CLayerCheck();
  virtual ~CLayerCheck();
  CLayerCheck(const CLayerCheck&) = delete;
  CLayerCheck& operator=(const CLayerCheck&) = delete;

  // Runs the current task; -1 once the check has finished.
  virtual int Step();

  // Hands the window, in one insertion, what was written for it since the last
  // flush: every insertion costs the edit control a layout of its whole text.
  // The command flushes after every Step; a check flushes before it waits or
  // shows a window, and the destructor flushes what is left.
  void Flush();

  int AttachWindow(IReportWindow* window, int mode);
  void AttachBuffer(ReportDocument* document, int mode);
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

  int Write(const char* text);
  void WritePlain(const char* text);
  int WriteError(const char* text);
  void WriteOk(const char* text);
  int WriteInfo(const char* text);
  void WriteTimestamp();

  // Text from outside the system (version strings, company names, paths,
  // instrument answers): verbatim in the plain outputs, with "<", ">" and "&"
  // as entities in markup outputs, so it neither loses characters in the window
  // nor injects markup into the HTML document.
  int WriteExternal(const char* text);
  int WriteInfoExternal(const char* text);
  int WriteErrorExternal(const char* text);

  // Copies source without its markup; destination must hold strlen(source) + 1.
  static void MarkupToText(const char* source, char* destination);
  static std::string MarkupToText(const std::string& source);
  static std::string EscapeMarkup(const std::string& text);

  // A finding kept in the record under key in the same call that hands its
  // text to a writer: Write...(Keep("build", text)). The record gets the text
  // as the plain report shows it.
  const char* Keep(const char* key, const char* text);
  // value, kept as a number.
  int64_t KeepInteger(const char* key, int64_t value);
  // text, with its words added to those kept under key.
  const char* KeepWords(const char* key, const char* text);
  // text, kept at the end of the list under key.
  const char* KeepItem(const char* list, const char* text);

  const std::vector<CErrorCall>& ErrorCalls() const { return m_errorCalls; }

  CFindings& Findings() { return m_findings; }
  const CFindings& Findings() const { return m_findings; }

  int32_t Error() const { return m_error; }
  int32_t Task() const { return m_task; }
  const char* Name() const { return m_name; }

 protected:
  void SetName(const char* name);
  // The header banner: 46 asterisks, the bold title (closed by "</b>" in it),
  // the timestamp, 46 asterisks.
  void WriteHeaderBanner(const char* title);
  // The opening tag of a colour writer: head + colour + ">".
  void WriteColourHead(const char* head, const char* colour);
  // The verdict banner of a layer titled title: FAILED in red when m_error is
  // not 0, else OK in green.
  void WriteVerdict(const char* title);
  // Appends external text to the outputs according to their modes.
  int WriteEscaped(const char* text);
  // The error line about to be written, with the call behind it.
  void NoteErrorCall(const std::string& text);
  // The calls an error report made after its lines (the instrument's status
  // cleared) are its own: a later error line does not take them for its error.
  void EndErrorReport();

  int32_t m_error = 0;
  int32_t m_task = 0;
  char m_name[16] = {};
  ReportDocument* m_buffer = nullptr;
  IReportWindow* m_window = nullptr;
  int32_t m_windowMode = kModeOff;
  int32_t m_bufferMode = kModeOff;
  // The window's text not yet inserted, already in the window's mode.
  std::string m_pending;
  ICheckProgress* m_progress = nullptr;
  CFindings m_findings;
  // The caption of a step that came while the window was not due a refresh.
  std::string m_caption;
  // Folders the drive search has listed, for its progress.
  int32_t m_foldersSearched = 0;
  std::vector<CErrorCall> m_errorCalls;
  // The number of the next call when the last error line was written (or the
  // check began), and that line's call.
  uint32_t m_callsSeen = 0;
  uint32_t m_errorCall = 0;
  // The last text written was an error line; an error writer is writing.
  bool m_errorOpen = false;
  bool m_writingError = false;
};

// The texts of the markup that the writers build.
extern const char kColourError[];    // "#ff0000"
extern const char kColourOk[];       // "#009000"
extern const char kColourInfo[];     // "#900090"
