#include "tests/fakes/FakeShell.h"

void FakeShell::QueueSaveAnswer(const std::string& path) {
  m_saveAnswers.push_back(SaveAnswer{true, path});
}

void FakeShell::QueueSaveCancel() { m_saveAnswers.push_back(SaveAnswer{false, std::string()}); }

uint16_t FakeShell::ExtensionOffset(const std::string& path) {
  const size_t nameStart = path.find_last_of("\\/:");
  const size_t name = nameStart == std::string::npos ? 0 : nameStart + 1;
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || dot < name || dot + 1 >= path.size()) return 0;
  return static_cast<uint16_t>(dot + 1);
}

uint32_t FakeShell::WinExec(const char* commandLine, int32_t show) {
  m_winExecs.push_back(FakeWinExec{commandLine, show});
  m_journal->push_back(std::string("winexec ") + commandLine + " " + std::to_string(show));
  return m_winExecResult;
}

intptr_t FakeShell::ShellExecute(WindowHandle owner, const char* verb, const char* file,
                                 const char* parameters, const char* directory, int32_t show) {
  FakeShellExecute call;
  call.owner = owner;
  call.verb = verb != nullptr ? verb : "";
  call.file = file != nullptr ? file : "";
  call.hasParameters = parameters != nullptr;
  call.hasDirectory = directory != nullptr;
  call.show = show;
  m_shellExecutes.push_back(call);
  m_journal->push_back("shellexecute " + call.verb + " " + call.file);
  if (m_onShellExecute) m_onShellExecute();
  return m_shellExecuteResult;
}

bool FakeShell::GetSaveFileName(WindowHandle owner, const std::string& filter, uint32_t flags,
                                std::string& path, uint16_t& extensionOffset) {
  m_saveDialogs.push_back(FakeSaveDialog{owner, filter, flags});
  m_journal->push_back("savedialog");
  if (m_saveAnswers.empty() || !m_saveAnswers.front().ok) {
    if (!m_saveAnswers.empty()) m_saveAnswers.pop_front();
    return false;
  }
  path = m_saveAnswers.front().path;
  m_saveAnswers.pop_front();
  extensionOffset = ExtensionOffset(path);
  return true;
}

int32_t FakeShell::MessageBox(WindowHandle owner, const char* text, const char* caption,
                              uint32_t type) {
  m_messageBoxes.push_back(FakeMessageBox{owner, text, caption, type});
  m_journal->push_back(std::string("messagebox ") + caption);
  return m_messageBoxAnswer;
}

bool FakeShell::WriteToConsole(const char* text, bool error) {
  if (!m_consoleAttached) return false;
  (error ? m_consoleErrors : m_consoleOutput) += text;
  m_journal->push_back(error ? "console error" : "console");
  return true;
}

void FakeShell::BeginWaitCursor() {
  ++m_waitDepth;
  m_journal->push_back("cursor on");
}

void FakeShell::EndWaitCursor() {
  if (m_waitDepth == 0) {
    ++m_unbalanced;
  } else {
    --m_waitDepth;
  }
  m_journal->push_back("cursor off");
}
