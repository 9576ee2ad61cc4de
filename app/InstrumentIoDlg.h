#pragma once
// The instrument I/O panel: one instrument talked to by hand, through the
// instrument thread, each action shown with its calls and kept in the report.
#include <string>
#include <vector>

#include "instrument/InstrumentIo.h"
#include "platform/Dialog.h"

extern const char kIoCaption[];  // "Instrument I/O"

// What the panel keeps between its openings, for as long as the main window lives.
struct CIoPanelMemory {
  std::vector<std::string> found;    // resources the checks found, in the order found
  std::vector<std::string> history;  // commands as typed, newest first
  CIoSettings settings;
  std::string timeoutText = std::to_string(kIoTimeoutDefault);
};

constexpr size_t kIoHistoryMax = 20;

class CInstrumentIoDlg : public CDialog {
 public:
  explicit CInstrumentIoDlg(CIoPanelMemory& memory);
  ~CInstrumentIoDlg() override;

  CInstrumentIoReport& Report() { return m_report; }
  // The button of an action: bad input gets a message box and nothing else.
  void RunAction(CIoAction action);

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int32_t id) override;
  void OnOK() override;
  void OnCancel() override;
  bool OnClose() override;

 private:
  bool ReadInput(CIoAction action, CIoSettings& settings, std::string& command);
  void Remember(const std::string& typed);
  void ShowCaption();
  void AppendOutput(const std::string& text);

  CIoPanelMemory& m_memory;
  CInstrumentIo m_io;
  CInstrumentIoReport m_report;
  std::string m_output;
  std::string m_call;  // the call running, for the caption
  bool m_closePending = false;
};
