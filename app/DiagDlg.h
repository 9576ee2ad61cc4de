#pragma once
// The main dialog: the menu, the report window that fills it, and the report
// document. Every menu command is one of its handlers.
#include <cstdint>
#include <string>

#include "app/ReportWindow.h"
#include "app/resource.h"
#include "platform/Dialog.h"
#include "platform/InstrumentThread.h"
#include "platform/Platform.h"
#include "report/LayerCheck.h"

extern const char kMainCaption[];
extern const char kIntroText[];

// How a layer command starts its check; the instrument checks pass their own.
struct CBeginRun {
  int operator()(CLayerCheck& check) const { return check.Begin(); }
};

struct CBeginWithDriverRun {
  template <class Check>
  int operator()(Check& check) const {
    return check.BeginWithDriver();
  }
};

class CDiagDlg : public CDialog, public ICheckProgress, public IInstrumentWait {
 public:
  CDiagDlg();
  ~CDiagDlg() override;

  // Layer commands.
  void OnOsLayer();
  void OnSwLayer();
  void OnGpibLayer();
  void OnInstrLayer();
  void OnOpticalLayer();
  void OnDiagnoseAll();
  void OnTriggers();
  void OnGuidedOpticalTest();

  // Utilities.
  void OnClear();
  void OnAbout();
  void OnGetPhysicalAddress();
  void OnExit();

  // Export.
  void OnSave();
  void OnSaveAsText();
  void OnViewAsHtml();

  void ResetReport();
  // Run first by every command that writes: focus, caret to the end, and the
  // intro text cleared once.
  void PrepareOutputWindow();

  // The pattern of every layer command: wait cursor, output window ready, the
  // check constructed, attached, started, stepped to its end with the window
  // served after every step, cursor back, the check destroyed.
  template <class Check, class Start = CBeginRun>
  void RunLayerCommand(Start start = Start());

  // The running check's progress in the caption; the window paints meanwhile.
  // At most one refresh (caption and report) per kRefreshTicks of the clock,
  // except before a call that can block.
  void ShowProgress(const char* text) override;
  void ShowBlockingCall(const char* text, const char* call) override;
  bool RefreshDue() override;
  // A call on the instrument thread: the windows are served until it returns.
  void WaitForCall(EventHandle done) override;
  static constexpr int32_t kRefreshTicks = 100;

  const ReportDocument& Report() const { return m_report; }
  IconHandle Icon() const { return m_hIcon; }
  bool ClearOnOutput() const { return m_clearOnOutput; }
  int32_t WindowMode() const { return m_windowMode; }
  int32_t BufferMode() const { return m_bufferMode; }

  bool OnInitDialog() override;
  bool OnCommand(int32_t id) override;
  bool OnSysCommand(uint32_t id, intptr_t lParam) override;
  bool OnShowWindow(bool show, uint32_t status) override;
  bool OnPaint() override;
  intptr_t OnQueryDragIcon() override;
  bool OnClose() override;

 private:
  // The save dialog with the extension rule applied; false when the user cancels.
  bool AskSavePath(const char* description, const char* pattern, const char* extension,
                   std::string& path);
  void SaveReportFile(const std::string& path, const std::string& content);
  bool DispatchCommand(int32_t id);
  void DeleteViewFile();
  // The caption back as it was before the command.
  void EndProgress();
  void ShowCaption();
  void MarkRefreshed(int32_t now);
  // A close asked for while a command runs: the caption says when it happens.
  void CloseAsked();

  ReportDocument m_report;
  IconHandle m_hIcon = nullptr;
  bool m_clearOnOutput = false;
  int32_t m_windowMode = kModeOff;
  int32_t m_bufferMode = kModeOff;
  CReportWindow m_reportWindow;
  std::string m_progressCaption;
  // "<layer> layer: <step>" and, while a call that can block runs, its name.
  std::string m_progressText;
  std::string m_blockingCall;
  bool m_refreshed = false;
  int32_t m_lastRefresh = 0;
  int32_t m_clockRead = 0;
  // A close asked for while a command ran: carried out when it has ended.
  bool m_closePending = false;
};

template <class Check, class Start>
void CDiagDlg::RunLayerCommand(Start start) {
  IShell* shell = GetPlatform().shell;
  if (shell != nullptr) shell->BeginWaitCursor();
  PrepareOutputWindow();
  {
    Check check;
    check.AttachWindow(&m_reportWindow, m_windowMode);
    check.AttachBuffer(&m_report, m_bufferMode);
    check.SetProgress(this);
    check.ReportProgress("starting");
    start(check);
    // The window gets each step's report in one piece before the next step's
    // caption, and the last one at the end.
    do {
      check.ReportProgress(("step " + std::to_string(check.Task())).c_str());
    } while (check.Step() != -1);
    check.Flush();
    if (shell != nullptr) shell->EndWaitCursor();
  }
  EndProgress();
}
