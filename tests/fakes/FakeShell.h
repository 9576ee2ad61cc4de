#pragma once
// The shell without a desktop: every program start, open request, save dialog and
// message box is recorded, and the save dialog answers from a queue.
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/Shell.h"

struct FakeMessageBox {
  WindowHandle owner = nullptr;
  std::string text;
  std::string caption;
  uint32_t type = 0;
};

struct FakeSaveDialog {
  WindowHandle owner = nullptr;
  std::string filter;
  uint32_t flags = 0;
};

struct FakeShellExecute {
  WindowHandle owner = nullptr;
  std::string verb;
  std::string file;
  bool hasParameters = false;
  bool hasDirectory = false;
  int32_t show = 0;
};

struct FakeWinExec {
  std::string commandLine;
  int32_t show = 0;
};

class FakeShell : public IShell {
 public:
  // The user types path and presses Save; the extension offset is computed the
  // way the platform does (after the last "." of the file name, 0 without one).
  void QueueSaveAnswer(const std::string& path);
  void QueueSaveCancel();
  void SetMessageBoxAnswer(int32_t answer) { m_messageBoxAnswer = answer; }
  void SetShellExecuteResult(intptr_t result) { m_shellExecuteResult = result; }
  void SetWinExecResult(uint32_t result) { m_winExecResult = result; }
  // Runs inside ShellExecute, before it returns: lets a test look at the machine
  // at the moment the document is opened.
  void OnShellExecute(std::function<void()> hook) { m_onShellExecute = std::move(hook); }

  void SetJournal(std::vector<std::string>* journal) { m_journal = journal; }
  std::vector<std::string>& Journal() { return *m_journal; }

  const std::vector<FakeMessageBox>& MessageBoxes() const { return m_messageBoxes; }
  const std::vector<FakeSaveDialog>& SaveDialogs() const { return m_saveDialogs; }
  const std::vector<FakeShellExecute>& ShellExecutes() const { return m_shellExecutes; }
  const std::vector<FakeWinExec>& WinExecs() const { return m_winExecs; }
  int WaitCursorDepth() const { return m_waitDepth; }
  // What went to the console, output and error output apart; with no console
  // attached nothing is kept and WriteToConsole fails.
  void SetConsoleAttached(bool attached) { m_consoleAttached = attached; }
  const std::string& ConsoleOutput() const { return m_consoleOutput; }
  const std::string& ConsoleErrors() const { return m_consoleErrors; }
  // Times the wait cursor was ended with none shown.
  int UnbalancedWaitCursors() const { return m_unbalanced; }

  static uint16_t ExtensionOffset(const std::string& path);

  uint32_t WinExec(const char* commandLine, int32_t show) override;
  intptr_t ShellExecute(WindowHandle owner, const char* verb, const char* file,
                        const char* parameters, const char* directory, int32_t show) override;
  bool GetSaveFileName(WindowHandle owner, const std::string& filter, uint32_t flags,
                       std::string& path, uint16_t& extensionOffset) override;
  int32_t MessageBox(WindowHandle owner, const char* text, const char* caption,
                     uint32_t type) override;
  bool WriteToConsole(const char* text, bool error) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;

 private:
  bool m_consoleAttached = true;
  std::string m_consoleOutput;
  std::string m_consoleErrors;
  struct SaveAnswer {
    bool ok = false;
    std::string path;
  };

  std::deque<SaveAnswer> m_saveAnswers;
  int32_t m_messageBoxAnswer = 1;
  intptr_t m_shellExecuteResult = 42;
  uint32_t m_winExecResult = 33;
  std::function<void()> m_onShellExecute;
  std::vector<std::string> m_ownJournal;
  std::vector<std::string>* m_journal = &m_ownJournal;
  std::vector<FakeMessageBox> m_messageBoxes;
  std::vector<FakeSaveDialog> m_saveDialogs;
  std::vector<FakeShellExecute> m_shellExecutes;
  std::vector<FakeWinExec> m_winExecs;
  int m_waitDepth = 0;
  int m_unbalanced = 0;
};
