#pragma once
// The main dialog: the menu, the report window that fills it, and the report
// document. Every menu command is one of its handlers.
#include <cstdint>
#include <memory>
#include <string>

#include "app/InstrumentIoDlg.h"
#include "app/LayerCatalogue.h"
#include "app/ReportWindow.h"
#include "app/resource.h"
#include "app/TraceReport.h"
#include "platform/CallTrace.h"
#include "platform/Dialog.h"
#include "platform/InstrumentThread.h"
#include "platform/Platform.h"
#include "report/CheckRunner.h"
#include "report/LayerCheck.h"

extern const char kMainCaption[];
extern const char kIntroText[];

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
  void OnInstrumentIo();
  // Which VISA library the program really gets, and every copy on the PC.
  void OnVisaLibraries();

  // Utilities.
  void OnClear();
  void OnAbout();
  void OnGetPhysicalAddress();
  void OnExit();

  // Export.
  void OnSave();
  void OnSaveAsText();
  void OnViewAsHtml();
  void OnSaveTrace();
  // What Save I/O Trace writes: the calls since the window opened or the last Clear.
  std::string TraceText() const;

  void ResetReport();
  // Run first by every command that writes: focus, caret to the end, and the
  // intro text cleared once.
  void PrepareOutputWindow();

  // A layer of the catalogue run as a command into this window.
  void RunLayerCommand(const CLayerEntry& layer);
  template <class Check>
  void RunLayerCommand() {
    RunCheckCommand([] { return std::unique_ptr<CLayerCheck>(new Check()); });
  }
  // The pattern of every layer command (CCheckRunner::Run), into this window.
  void RunCheckCommand(const CCheckRunner::MakeCheck& make);

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
  const CIoPanelMemory& IoMemory() const { return m_ioMemory; }

  bool OnInitDialog() override;
  bool OnCommand(int32_t id) override;
  bool OnSysCommand(uint32_t id, intptr_t lParam) override;
  bool OnShowWindow(bool show, uint32_t status) override;
  bool OnPaint() override;
  intptr_t OnQueryDragIcon() override;
  bool OnClose() override;
  // The tool waits for the user now: the caption is the plain one.
  void OnOwnedWindowOpening() override { EndProgress(); }

 private:
  // The save dialog with the extension rule applied; false when the user cancels.
  bool AskSavePath(const char* description, const char* pattern, const char* extension,
                   std::string& path);
  void SaveReportFile(const std::string& path, const std::string& content);
  bool DispatchCommand(int32_t id);
  // Runs checks into the report window and document, with the caption's progress.
  CCheckRunner Runner(bool waitCursor);
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
  // The instrument I/O panel's resources and history, for this window's life.
  CIoPanelMemory m_ioMemory;
  // The window's trace: its last calls, recorded from the first show on.
  CTraceLog m_trace{kWindowTraceCalls};
  std::unique_ptr<CTraceSession> m_traceSession;
  std::string m_traceStarted;
  uint32_t m_traceClearedFrom = 0;
};
