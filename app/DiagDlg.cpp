#include "app/DiagDlg.h"

#include "app/AboutDlg.h"
#include "app/RunOutputs.h"
#include "app/ReportExport.h"
#include "app/Version.h"
#include "bench/GuidedTestDlg.h"
#include "bench/TlsSelectDlg.h"
#include "bench/TriggerCheck.h"
#include "instrument/VisaLibrariesCheck.h"

const char kMainCaption[] = "Diagnostic Tool - Velmora Technologies";
const char kIntroText[] =
    "Velmora Technologies Diagnostic Tool Version " BS_VERSION_TEXT "\r\n\r\n"
    "This tool will allow you to check for every required component to run ZEB and "
    "Kestrix.\r\n"
    "It can also do some basic measurements on your mainframe and check if all the "
    "triggers work.\r\n";

CDiagDlg::CDiagDlg() : CDialog(IDD_BENCHSENTRY_DIALOG), m_reportWindow(*this, IDC_REPORT) {
  IDialogBackend* backend = GetPlatform().dialogs;
  if (backend != nullptr) m_hIcon = backend->LoadIcon(IDR_MAINFRAME);
}

CDiagDlg::~CDiagDlg() {
  CInstrumentThread::SetWaiter(nullptr);
  m_traceSession.reset();
}

bool CDiagDlg::OnInitDialog() {
  CDialog::OnInitDialog();

  MenuHandle systemMenu = Backend().GetSystemMenu(Handle());
  if (systemMenu != nullptr) {
    const std::string aboutText = Backend().LoadString(IDS_ABOUTBOX);
    if (!aboutText.empty()) {
      Backend().AppendMenu(systemMenu, kMfSeparator, 0, nullptr);
      Backend().AppendMenu(systemMenu, kMfString, IDM_ABOUTBOX, aboutText.c_str());
    }
  }

  Backend().SetIcon(Handle(), m_hIcon, true);
  Backend().SetIcon(Handle(), m_hIcon, false);

  // The platform's default limit would stop a long report part way.
  EditSetLimitText(IDC_REPORT, 0);
  // Every call into the bench libraries from now on, for Save I/O Trace.
  m_traceStarted = IsoLocalTime();
  m_traceSession = std::make_unique<CTraceSession>(&m_trace);
  CInstrumentThread::SetWaiter(this);
  return true;
}

bool CDiagDlg::OnCommand(int32_t id) {
  const bool handled = DispatchCommand(id);
  if (m_closePending) {
    // The close asked for while the command ran, now that it has ended.
    m_closePending = false;
    DeleteViewFile();
    EndDialog(kIdCancel);
  }
  return handled;
}

bool CDiagDlg::RefreshDue() {
  IClock* clock = GetPlatform().clock;
  if (clock == nullptr) return true;
  m_clockRead = clock->Clock();
  return !m_refreshed || m_clockRead - m_lastRefresh >= kRefreshTicks;
}

void CDiagDlg::MarkRefreshed(int32_t now) {
  m_refreshed = true;
  m_lastRefresh = now;
}

void CDiagDlg::ShowProgress(const char* text) {
  if (text != nullptr) {
    m_progressText = text;
    m_blockingCall.clear();
  }
  MarkRefreshed(m_clockRead);
  ShowCaption();
  KeepPainting();
}

void CDiagDlg::ShowBlockingCall(const char* text, const char* call) {
  m_progressText = text != nullptr ? text : "";
  m_blockingCall = call != nullptr ? call : "";
  IClock* clock = GetPlatform().clock;
  MarkRefreshed(clock != nullptr ? clock->Clock() : 0);
  ShowCaption();
}

void CDiagDlg::WaitForCall(EventHandle done) {
  WaitServing(done);
}

void CDiagDlg::ShowCaption() {
  if (m_progressText.empty()) return;
  std::string caption = std::string(kMainCaption) + " - " + m_progressText;
  if (m_closePending) {
    caption += " - closing when ";
    caption += m_blockingCall.empty() ? "the command" : m_blockingCall;
    caption += " has ended";
  }
  if (caption == m_progressCaption) return;
  m_progressCaption = caption;
  SetWindowText(caption.c_str());
}

void CDiagDlg::CloseAsked() {
  if (m_closePending) return;
  m_closePending = true;
  ShowCaption();
}

void CDiagDlg::EndProgress() {
  m_progressText.clear();
  m_blockingCall.clear();
  m_refreshed = false;
  if (m_progressCaption.empty()) return;
  m_progressCaption.clear();
  SetWindowText(kMainCaption);
}

namespace {

// Every command of the menu: its id, the second id it also answers to (0 for
// none), and its handler.
struct CCommandEntry {
  int32_t id;
  int32_t alternate;
  void (CDiagDlg::*handler)();
};

const CCommandEntry kCommands[] = {
    {ID_LAYER_OS, ID_LAYER_OS_ALT, &CDiagDlg::OnOsLayer},
    {ID_LAYER_SW, ID_LAYER_SW_ALT, &CDiagDlg::OnSwLayer},
    {ID_LAYER_GPIB, ID_LAYER_GPIB_ALT, &CDiagDlg::OnGpibLayer},
    {ID_LAYER_INSTR, ID_LAYER_INSTR_ALT, &CDiagDlg::OnInstrLayer},
    {ID_LAYER_OPTICAL, ID_LAYER_OPTICAL_ALT, &CDiagDlg::OnOpticalLayer},
    {ID_DIAGNOSE_ALL, ID_DIAGNOSE_ALL_ALT, &CDiagDlg::OnDiagnoseAll},
    {ID_DIAGNOSE_GUIDED, ID_DIAGNOSE_GUIDED_ALT, &CDiagDlg::OnGuidedOpticalTest},
    {ID_DIAGNOSE_TRIGGERS, ID_DIAGNOSE_TRIGGERS_ALT, &CDiagDlg::OnTriggers},
    {ID_DIAGNOSE_IO, 0, &CDiagDlg::OnInstrumentIo},
    {ID_DIAGNOSE_VISA, 0, &CDiagDlg::OnVisaLibraries},
    {ID_EDIT_CLEAR, ID_EDIT_CLEAR_ALT, &CDiagDlg::OnClear},
    {ID_FILE_SAVE_AS_TEXT, ID_FILE_SAVE_AS_TEXT_ALT, &CDiagDlg::OnSaveAsText},
    {ID_FILE_SAVE, ID_FILE_SAVE_ALT, &CDiagDlg::OnSave},
    {ID_FILE_VIEW_AS_HTML, ID_FILE_VIEW_AS_HTML_ALT, &CDiagDlg::OnViewAsHtml},
    {ID_FILE_SAVE_TRACE, 0, &CDiagDlg::OnSaveTrace},
    {ID_FILE_EXIT, 0, &CDiagDlg::OnExit},
    {ID_ABOUT, 0, &CDiagDlg::OnAbout},
    {ID_EDIT_GET_PHYSICAL_ADDRESS, 0, &CDiagDlg::OnGetPhysicalAddress},
};

}  // namespace

bool CDiagDlg::DispatchCommand(int32_t id) {
  for (const CCommandEntry& command : kCommands) {
    if (command.id == id || (command.alternate != 0 && command.alternate == id)) {
      (this->*command.handler)();
      return true;
    }
  }
  return false;
}

bool CDiagDlg::OnSysCommand(uint32_t id, intptr_t) {
  if ((id & 0xFFF0) == IDM_ABOUTBOX) {
    OnAbout();
    return true;
  }
  return false;
}

bool CDiagDlg::OnShowWindow(bool show, uint32_t status) {
  // Hiding must not reset the report: only the first show starts it.
  if (!show) return false;
  SetWindowText(kMainCaption);
  ResetReport();
  DefaultProcessing(kWmShowWindow, 1, static_cast<intptr_t>(status));
  m_windowMode = kModePlain;
  m_bufferMode = kModeMarkup;
  SetDlgItemText(IDC_REPORT, kIntroText);
  m_clearOnOutput = true;
  return true;
}

bool CDiagDlg::OnPaint() {
  if (!Backend().IsIconic(Handle())) return false;
  PaintSession session;
  DeviceContext dc = Backend().BeginPaint(Handle(), session);
  Backend().SendMessage(Handle(), kWmIconEraseBkgnd, reinterpret_cast<uintptr_t>(dc), 0);
  const int32_t iconWidth = Backend().GetSystemMetrics(kSmCxIcon);
  const int32_t iconHeight = Backend().GetSystemMetrics(kSmCyIcon);
  ClientRect rect;
  Backend().GetClientRect(Handle(), rect);
  const int32_t x = (rect.right - rect.left - iconWidth + 1) / 2;
  const int32_t y = (rect.bottom - rect.top - iconHeight + 1) / 2;
  Backend().DrawIcon(dc, x, y, m_hIcon);
  Backend().EndPaint(Handle(), session);
  return true;
}

intptr_t CDiagDlg::OnQueryDragIcon() { return reinterpret_cast<intptr_t>(m_hIcon); }

bool CDiagDlg::OnClose() {
  // A running command is not cut off: the window closes once it has ended.
  if (Painting()) {
    CloseAsked();
    return true;
  }
  DeleteViewFile();
  return CDialog::OnClose();
}

void CDiagDlg::DeleteViewFile() {
  if (GetPlatform().files != nullptr) GetPlatform().files->DeleteFile(kViewFileName);
}

void CDiagDlg::ResetReport() {
  m_report.clear();
  m_report += kReportHead;
  m_report += kReportTitle;
  SetDlgItemText(IDC_REPORT, "");
  SetFocus(IDC_REPORT);
}

void CDiagDlg::PrepareOutputWindow() {
  SetFocus(IDC_REPORT);
  // With the window's limit lifted the text may run past any fixed position, so
  // the caret goes to the text's real end.
  const int32_t end = GetDlgItemTextLength(IDC_REPORT);
  EditSetSel(IDC_REPORT, end, end);
  EditScrollCaret(IDC_REPORT);
  if (m_clearOnOutput) {
    SetDlgItemText(IDC_REPORT, "");
    m_clearOnOutput = false;
  }
}

CCheckRunner CDiagDlg::Runner(bool waitCursor) {
  CRunTarget target;
  target.window = &m_reportWindow;
  target.windowMode = m_windowMode;
  target.document = &m_report;
  target.documentMode = m_bufferMode;
  target.progress = this;
  target.waitCursor = waitCursor;
  target.prepare = [this] { PrepareOutputWindow(); };
  return CCheckRunner(target);
}

void CDiagDlg::RunCheckCommand(const CCheckRunner::MakeCheck& make) {
  // What a check found on the bus is offered by the instrument I/O panel.
  Runner(true).Run(make, [this](CLayerCheck& check) { CollectResourceNames(check.Findings().Root(), m_ioMemory.found); });
  EndProgress();
}

void CDiagDlg::RunLayerCommand(const CLayerEntry& layer) { RunCheckCommand(layer.makeCheck); }

void CDiagDlg::OnOsLayer() { RunLayerCommand(kLayers[kLayerOs]); }

void CDiagDlg::OnSwLayer() { RunLayerCommand(kLayers[kLayerSw]); }

void CDiagDlg::OnGpibLayer() { RunLayerCommand(kLayers[kLayerGpib]); }

void CDiagDlg::OnInstrLayer() { RunLayerCommand(kLayers[kLayerInstrument]); }

void CDiagDlg::OnOpticalLayer() { RunLayerCommand(kLayers[kLayerOptical]); }

void CDiagDlg::OnTriggers() {
  {
    // Declared in this order, the dialog goes before the check.
    CTriggerCheck check;
    CTlsSelectDlg dialog;
    dialog.m_check = &check;
    Runner(false).RunFlow(check, [&] {
      const int32_t count = check.GetTlsList(dialog.m_listText);
      if (count > 1) {
        // The test runs from the dialog's OK.
        check.Flush();
        dialog.DoModal();
      } else if (count == 1) {
        check.RunTriggerTest(0);
      }
    });
  }
  EndProgress();
}

void CDiagDlg::OnGuidedOpticalTest() {
  {
    CGuidedTestDlg dialog;
    // The wait cursor stays until the dialog has closed.
    Runner(true).RunFlow(dialog, [&] {
      dialog.Flush();
      dialog.DoModal();
    });
  }
  EndProgress();
}

void CDiagDlg::OnInstrumentIo() {
  {
    CInstrumentIoDlg dialog(m_ioMemory);
    Runner(false).RunFlow(dialog.Report(), [&] { dialog.DoModal(); });
  }
  EndProgress();
}

void CDiagDlg::OnVisaLibraries() { RunLayerCommand<CVisaLibrariesCheck>(); }

void CDiagDlg::OnDiagnoseAll() {
  for (const CLayerEntry& layer : kLayers) RunLayerCommand(layer);
}

void CDiagDlg::OnClear() {
  ResetReport();
  // The next trace saved starts after the calls so far.
  m_trace.Clear();
  m_traceClearedFrom = CCallTrace::NextSequence();
}

void CDiagDlg::OnAbout() {
  CAboutDlg about(this);
  about.DoModal();
}

void CDiagDlg::OnGetPhysicalAddress() {
  IShell* shell = GetPlatform().shell;
  if (shell != nullptr) shell->WinExec("lst.exe", kSwHide);
}

void CDiagDlg::OnExit() { DestroyWindow(); }

bool CDiagDlg::AskSavePath(const char* description, const char* pattern, const char* extension,
                           std::string& path) {
  IShell* shell = GetPlatform().shell;
  if (shell == nullptr) return false;
  uint16_t extensionOffset = 0;
  if (!shell->GetSaveFileName(Handle(), SaveFilter(description, pattern),
                              kOfnHideReadOnly | kOfnOverwritePrompt, path, extensionOffset)) {
    return false;
  }
  path = WithExtension(path, extensionOffset, extension);
  return true;
}

void CDiagDlg::SaveReportFile(const std::string& path, const std::string& content) {
  IFileSystem* files = GetPlatform().files;
  if (files != nullptr && WriteTextFile(*files, path.c_str(), content) == WriteStatus::Ok) return;
  MessageBox(SaveFailedMessage(path).c_str(), kRequestFailedCaption, kMbOk);
}

void CDiagDlg::OnSave() {
  std::string path;
  if (!AskSavePath("HTML file *.html", "*.html", "html", path)) return;
  SaveReportFile(path, m_report);
}

void CDiagDlg::OnSaveAsText() {
  std::string path;
  if (!AskSavePath("Text file *.txt", "*.txt", "txt", path)) return;
  SaveReportFile(path, GetDlgItemText(IDC_REPORT));
}

void CDiagDlg::OnViewAsHtml() {
  IFileSystem* files = GetPlatform().files;
  if (files == nullptr) return;
  const WriteStatus status =
      WriteTextFile(*files, kViewFileName, m_report + kViewFileClosing);
  if (status == WriteStatus::CreateFailed) {
    MessageBox(kReadOnlyDirectoryMessage, kRequestFailedCaption, kMbOk);
    return;
  }
  if (status == WriteStatus::WriteFailed) {
    MessageBox(SaveFailedMessage(kViewFileName).c_str(), kRequestFailedCaption, kMbOk);
    return;
  }
  IShell* shell = GetPlatform().shell;
  if (shell != nullptr) {
    shell->ShellExecute(Handle(), "open", kViewFileName, nullptr, nullptr, kSwShowNormal);
  }
}

std::string CDiagDlg::TraceText() const {
  return m_trace.Text(WindowTraceNotes(m_traceStarted, m_traceClearedFrom));
}

void CDiagDlg::OnSaveTrace() {
  std::string path;
  if (!AskSavePath("I/O trace *.txt", "*.txt", "txt", path)) return;
  SaveReportFile(path, TraceText());
}
