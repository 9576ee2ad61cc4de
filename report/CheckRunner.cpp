#include "report/CheckRunner.h"

#include <string>

#include "platform/CallTrace.h"
#include "platform/Platform.h"

CWaitCursor::CWaitCursor(bool wanted) {
  IShell* shell = GetPlatform().shell;
  if (!wanted || shell == nullptr) return;
  shell->BeginWaitCursor();
  m_on = true;
}

CWaitCursor::~CWaitCursor() { End(); }

void CWaitCursor::End() {
  if (!m_on) return;
  m_on = false;
  IShell* shell = GetPlatform().shell;
  if (shell != nullptr) shell->EndWaitCursor();
}

int CCheckRunner::Begin(CLayerCheck& check) const {
  // The trace names the command by its check's layer name, without its blank.
  std::string source = check.Name();
  while (!source.empty() && source.back() == ' ') source.pop_back();
  CCallTrace::SetSource(source);
  check.AttachWindow(m_target.window, m_target.windowMode);
  check.AttachBuffer(m_target.document, m_target.documentMode);
  check.SetProgress(m_target.progress);
  check.ReportProgress("starting");
  return check.Start();
}

int32_t CCheckRunner::Run(const MakeCheck& make, const Finished& finished) const {
  CWaitCursor cursor(m_target.waitCursor);
  if (m_target.prepare) m_target.prepare();
  std::unique_ptr<CLayerCheck> check = make();
  Begin(*check);
  // The window gets each step's report in one piece before the next step's
  // caption, and the last one at the end. The code is the one the last step
  // before the verdict left.
  int32_t code = check->Error();
  for (;;) {
    check->ReportProgress(("step " + std::to_string(check->Task())).c_str());
    if (check->Step() == -1) break;
    code = check->Error();
  }
  check->Flush();
  cursor.End();
  if (finished) finished(*check);
  return code;
}
