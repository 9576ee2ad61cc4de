#pragma once
// The report writer: every text goes, in one call, to the report window (plain)
// and the report document (markup), each in its own mode. The lines it writes
// as errors are kept in a record of findings as they are written.
#include <cstdint>
#include <string>
#include <vector>

class CFindings;

// The report window as a writer sees it: insert at the caret, replacing the
// selection, not undoable.
class IReportWindow {
 public:
  virtual ~IReportWindow() = default;
  virtual void ReplaceSelection(const char* text) = 0;
};

// The report window of a run without a window: every insert appends, as the
// caret stays at the end.
class CTextWindow : public IReportWindow {
 public:
  explicit CTextWindow(std::string& text) : m_text(text) {}
  void ReplaceSelection(const char* text) override { m_text += text; }

 private:
  std::string& m_text;
};

using ReportDocument = std::string;

// An error text of the report and the number of the call into a bench library
// behind it in the trace: the latest call that failed since the writer's
// previous error text (calls an error report makes after its lines excepted);
// straight after an error text, with nothing written or called between, that
// text's call; else 0: the error is not a call's.
struct CErrorCall {
  std::string text;  // as the plain report shows it, on one line
  uint32_t call = 0;
};

// Output modes, the same for window and document.
constexpr int32_t kModeOff = 0;
constexpr int32_t kModePlain = 1;
constexpr int32_t kModeMarkup = 2;

// The texts of the markup that the writers build.
extern const char kColourError[];  // "#ff0000"
extern const char kColourOk[];     // "#009000"
extern const char kColourInfo[];   // "#900090"

class CReportWriter {
 public:
  CReportWriter();
  virtual ~CReportWriter();
  CReportWriter(const CReportWriter&) = delete;
  CReportWriter& operator=(const CReportWriter&) = delete;

  int AttachWindow(IReportWindow* window, int mode);
  void AttachBuffer(ReportDocument* document, int mode);
  // Null: error lines are not kept.
  void KeepErrorsIn(CFindings* findings) { m_errors = findings; }

  // Hands the window, in one insertion, what was written for it since the last
  // flush: every insertion costs the edit control a layout of its whole text.
  // The command flushes after every step; a check flushes before it waits or
  // shows a window, and the destructor flushes what is left.
  void Flush();

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

  // The line that an error text is on ends here, if it has not yet: it is kept.
  void EndErrorLine();

  // Every error text written, with the call behind it.
  const std::vector<CErrorCall>& ErrorCalls() const { return m_errorCalls; }
  // The calls an error report made after its lines (the instrument's status
  // cleared) are its own: a later error text does not take them for its error.
  void EndErrorReport();

 protected:
  // The opening tag of a colour writer: head + colour + ">".
  void WriteColourHead(const char* head, const char* colour);
  // Appends external text to the outputs according to their modes.
  int WriteEscaped(const char* text);
  // Error texts from here on are the calls' from here on (a check begins).
  void ResetErrorCalls();

  ReportDocument* m_buffer = nullptr;
  IReportWindow* m_window = nullptr;
  int32_t m_windowMode = kModeOff;
  int32_t m_bufferMode = kModeOff;

 private:
  // An error text: red, bold, marked in the plain outputs, its line kept.
  int WriteMarked(const char* text, bool external);
  // The text to each output by its mode: plain, or markup (none: nothing).
  void Emit(const char* plain, const char* markup);
  // The plain text of every write, for the error lines.
  void Track(const char* plain);
  // The error text about to be written, with the call behind it.
  void NoteErrorCall(const std::string& text);

  // The window's text not yet inserted, already in the window's mode.
  std::string m_pending;
  CFindings* m_errors = nullptr;
  // Inside an error text; on a line that holds one, and that line from where it starts.
  bool m_inError = false;
  bool m_onErrorLine = false;
  std::string m_errorLine;
  std::vector<CErrorCall> m_errorCalls;
  // The number of the next call when the last error text was written (or the
  // writer began), and that text's call.
  uint32_t m_callsSeen = 0;
  uint32_t m_errorCall = 0;
  // The last text written was an error text; an error writer is writing.
  bool m_errorOpen = false;
  bool m_writingError = false;
};
