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

int32_t CCheckRunner::Execute(const std::function<CLayerCheck&()>& check, int* steps) const {
  CWaitCursor cursor(m_target.waitCursor);
  if (m_target.prepare) m_target.prepare();
  CLayerCheck& running = check();
  Begin(running);
  const int32_t code = StepToEnd(running, steps);
  cursor.End();
  return code;
}

int32_t CCheckRunner::Run(CLayerCheck& check, int* steps) const {
  return Execute([&]() -> CLayerCheck& { return check; }, steps);
}

// The window gets each step's report in one piece before the next step's
// caption, and the last one at the end. The code is the one the last step
// before the verdict left.
int32_t CCheckRunner::StepToEnd(CLayerCheck& check, int* steps) const {
  int32_t code = check.Error();
  int taken = 0;
  for (;;) {
    check.ReportProgress(("step " + std::to_string(check.Task())).c_str());
    ++taken;
    if (check.Step() == -1) break;
    code = check.Error();
  }
  check.Flush();
  if (steps != nullptr) *steps = taken;
  return code;
}

int32_t CCheckRunner::Run(const MakeCheck& make, const Finished& finished) const {
  // Made once the window is ready, as the command's local.
  std::unique_ptr<CLayerCheck> check;
  const int32_t code = Execute([&]() -> CLayerCheck& { return *(check = make()); }, nullptr);
  if (finished) finished(*check);
  return code;
}

void CCheckRunner::RunFlow(CLayerCheck& check, const Flow& flow) const {
  CWaitCursor cursor(m_target.waitCursor);
  if (m_target.prepare) m_target.prepare();
  if (Begin(check) == 0 && flow) flow();
  check.Flush();
  cursor.End();
}
