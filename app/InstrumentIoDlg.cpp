#include "app/InstrumentIoDlg.h"

#include <algorithm>

#include "app/InstrumentIoResource.h"

const char kIoCaption[] = "Instrument I/O";

namespace {

const char* const kLineEnds[] = {"LF", "CR", "CR LF", "none"};
const char* const kReadEnds[] = {"line end", "end of message"};
// The panel's text is cut from the front beyond this, a whole line at a time.
constexpr size_t kOutputMax = 60000;

struct CActionButton {
  int32_t id;
  CIoAction action;
};
const CActionButton kActionButtons[] = {
    {IDC_IO_WRITE, CIoAction::Write},          {IDC_IO_READ, CIoAction::Read},
    {IDC_IO_QUERY, CIoAction::Query},          {IDC_IO_CLEAR, CIoAction::DeviceClear},
    {IDC_IO_STATUS_BYTE, CIoAction::ReadStatusByte}, {IDC_IO_ERROR_QUEUE, CIoAction::ErrorQueue},
};

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

CInstrumentIoDlg::CInstrumentIoDlg(CIoPanelMemory& memory) : CDialog(IDD_INSTRUMENT_IO), m_memory(memory) {
  m_io.OnCall([this](const std::string& what) {
    m_call = what;
    ShowCaption();
  });
}

// The sessions close with the panel, whichever way it closed; the caption is gone by then.
CInstrumentIoDlg::~CInstrumentIoDlg() {
  m_io.OnCall(nullptr);
  m_io.CloseAll();
}

bool CInstrumentIoDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  EditSetLimitText(IDC_IO_OUTPUT, 0);
  for (int32_t i = 0; i < 4; ++i) ComboInsertString(IDC_IO_LINE_END, i, kLineEnds[i]);
  ComboSetCurSel(IDC_IO_LINE_END, static_cast<int32_t>(m_memory.settings.lineEnd));
  for (int32_t i = 0; i < 2; ++i) ComboInsertString(IDC_IO_READ_END, i, kReadEnds[i]);
  ComboSetCurSel(IDC_IO_READ_END, static_cast<int32_t>(m_memory.settings.readEnd));
  SetDlgItemText(IDC_IO_TIMEOUT, m_memory.timeoutText.c_str());
  for (size_t i = 0; i < m_memory.history.size(); ++i) {
    ComboInsertString(IDC_IO_COMMAND, static_cast<int32_t>(i), m_memory.history[i].c_str());
  }
  SetDlgItemText(IDC_IO_COMMAND, m_memory.history.empty() ? "*IDN?" : m_memory.history.front().c_str());

  std::string problem;
  if (!m_io.Load(problem)) {
    AppendOutput(problem + "\r\n");
    for (const CActionButton& button : kActionButtons) EnableDlgItem(button.id, false);
    return true;
  }
  // Nothing found by a check yet: VISA's own list.
  std::vector<std::string> resources = m_memory.found;
  if (resources.empty()) resources = m_io.FindResources();
  m_call.clear();
  ShowCaption();
  for (size_t i = 0; i < resources.size(); ++i) {
    ComboInsertString(IDC_IO_RESOURCE, static_cast<int32_t>(i), resources[i].c_str());
  }
  const std::string& resource = m_memory.settings.resource;
  SetDlgItemText(IDC_IO_RESOURCE, !resource.empty() || resources.empty() ? resource.c_str() : resources.front().c_str());
  return true;
}

bool CInstrumentIoDlg::OnCommand(int32_t id) {
  for (const CActionButton& button : kActionButtons) {
    if (button.id == id) {
      RunAction(button.action);
      return true;
    }
  }
  return false;
}

// Enter in the command: the query, as the default button.
void CInstrumentIoDlg::OnOK() { RunAction(CIoAction::Query); }

void CInstrumentIoDlg::OnCancel() {
  m_io.CloseAll();
  m_call.clear();
  ShowCaption();
  EndDialog(kIdCancel);
}

bool CInstrumentIoDlg::OnClose() {
  // A call is never cut off: the panel closes once it has returned.
  if (Painting()) {
    m_closePending = true;
    ShowCaption();
    return true;
  }
  return false;
}

void CInstrumentIoDlg::ShowCaption() {
  std::string caption = kIoCaption;
  if (!m_call.empty()) caption += " - " + m_call;
  if (m_closePending) caption += " - closing when the call has ended";
  SetWindowText(caption.c_str());
}

bool CInstrumentIoDlg::ReadInput(CIoAction action, CIoSettings& settings, std::string& command) {
  std::string problem;
  settings.resource = Trimmed(GetDlgItemText(IDC_IO_RESOURCE));
  const std::string timeoutText = GetDlgItemText(IDC_IO_TIMEOUT);
  if (settings.resource.empty()) {
    problem = "Choose or type a VISA resource, such as GPIB0::20::INSTR.";
  } else if (ParseIoTimeout(timeoutText, settings.timeoutMs, problem)) {
    const bool writes = action == CIoAction::Write || action == CIoAction::Query;
    if (writes) ParseIoCommand(GetDlgItemText(IDC_IO_COMMAND), command, problem);
  }
  if (!problem.empty()) {
    MessageBox(problem.c_str(), kIoCaption, kMbOk);
    return false;
  }
  settings.lineEnd = static_cast<CIoLineEnd>(std::max(0, ComboGetCurSel(IDC_IO_LINE_END)));
  settings.readEnd = static_cast<CIoReadEnd>(std::max(0, ComboGetCurSel(IDC_IO_READ_END)));
  m_memory.settings = settings;
  m_memory.timeoutText = timeoutText;
  return true;
}

void CInstrumentIoDlg::Remember(const std::string& typed) {
  std::vector<std::string>& history = m_memory.history;
  history.erase(std::remove(history.begin(), history.end(), typed), history.end());
  history.insert(history.begin(), typed);
  if (history.size() > kIoHistoryMax) history.resize(kIoHistoryMax);
  ComboResetContent(IDC_IO_COMMAND);
  for (size_t i = 0; i < history.size(); ++i) {
    ComboInsertString(IDC_IO_COMMAND, static_cast<int32_t>(i), history[i].c_str());
  }
  SetDlgItemText(IDC_IO_COMMAND, typed.c_str());
}

void CInstrumentIoDlg::AppendOutput(const std::string& text) {
  m_output += text;
  if (m_output.size() > kOutputMax) {
    const size_t cut = m_output.find('\n', m_output.size() - kOutputMax * 3 / 4);
    m_output.erase(0, cut == std::string::npos ? m_output.size() - kOutputMax : cut + 1);
  }
  SetDlgItemText(IDC_IO_OUTPUT, m_output.c_str());
  const auto end = static_cast<int32_t>(m_output.size());
  EditSetSel(IDC_IO_OUTPUT, end, end);
  EditScrollCaret(IDC_IO_OUTPUT);
}

void CInstrumentIoDlg::RunAction(CIoAction action) {
  CIoSettings settings;
  std::string command;
  if (!ReadInput(action, settings, command)) return;
  if (action == CIoAction::Write || action == CIoAction::Query) Remember(GetDlgItemText(IDC_IO_COMMAND));

  const CIoRecord record = m_io.Run(action, settings, command);
  m_call.clear();
  ShowCaption();
  if (record.ResourceRefused()) {
    const std::string message =
        "VISA rejects the resource \"" + settings.resource + "\": " + VisaStatusText(record.Status()) + ".";
    MessageBox(message.c_str(), kIoCaption, kMbOk);
  } else {
    AppendOutput(IoTranscriptText(record));
    m_report.WriteAction(record);
    // A time-out: what the late answer needs is one button away.
    if (record.timedOut) SetFocus(IDC_IO_CLEAR);
  }
  if (m_closePending) {
    m_closePending = false;
    OnCancel();
  }
}
