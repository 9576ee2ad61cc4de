// "Instrument I/O..." through its menu id on the simulated bench: the panel
// offers what the checks found, runs its buttons through the instrument thread
// into its text and the report, answers bad input with a message box alone,
// and closes its sessions, also when closed in the middle of a call.
#include <gtest/gtest.h>

#include "app/InstrumentIoDlg.h"
#include "tests/fakes/BenchTemplates.h"
#include "tests/unit/app/AppFixture.h"

namespace {

class InstrumentIoDlgTest : public BenchAppTest {
 protected:
  InstrumentIoDlgTest() { DefineInstrumentIoTemplate(m_dialogs); }

  // What the user types into a control.
  static HeadlessStep Type(int32_t id, const std::string& text) {
    return headless::Run([id, text](HeadlessWindow& window) { window.Control(id)->text = text; });
  }
  std::string Panel() { return m_dialogs.LastWindow(IDD_INSTRUMENT_IO)->Text(IDC_IO_OUTPUT); }
};

TEST_F(InstrumentIoDlgTest, QueriesAnInstrumentTheScanFoundIntoPanelAndReport) {
  ASSERT_TRUE(m_libraries.AddSimLibrary("visa32.dll"));
  std::vector<std::string> offered;
  m_dialogs.QueueScript(IDD_INSTRUMENT_IO,
                        {headless::Run([&](HeadlessWindow& window) {
                           for (const HeadlessItem& item : window.Control(IDC_IO_RESOURCE)->items) offered.push_back(item.text);
                         }),
                         headless::Click(IDC_IO_QUERY), Type(IDC_IO_COMMAND, "SYST:ERR?"), headless::Click(IDC_IO_WRITE),
                         headless::Click(IDC_IO_READ), Type(IDC_IO_RESOURCE, " GPIB1::7::INSTR "),
                         headless::Click(IDC_IO_STATUS_BYTE), headless::Click(kIdCancel)});
  size_t scanLeftOpen = 0;
  const std::string window =
      RunSteps({headless::Command(ID_LAYER_GPIB), headless::Run([&](HeadlessWindow&) { scanLeftOpen = SimOpenVisaObjects(); }),
                headless::Command(ID_DIAGNOSE_IO)});
  EXPECT_EQ(offered, (std::vector<std::string>{"GPIB0::20::INSTR", "GPIB0::22::INSTR", "GPIB1::7::INSTR"}));
  ExpectGolden("io_dialog_panel.txt", Panel());
  ExpectGolden("io_dialog_window.txt", window.substr(window.find("GPIB Layer Checked")));
  ExpectGolden("io_dialog_document.html", m_document.substr(m_document.find("GPIB Layer Checked")));
  EXPECT_EQ(SimOpenVisaObjects(), scanLeftOpen) << "the panel's sessions are closed";
}

TEST_F(InstrumentIoDlgTest, BadInputGetsAMessageBoxAndNothingElse) {
  ASSERT_TRUE(m_libraries.AddSimLibrary("visa32.dll"));
  const std::string timeout = "The time-out must be a whole number of milliseconds from 1 to 600000.";
  const struct {
    const char* resource;
    const char* timeout;
    std::string command;
    int32_t button;
    std::string message;
  } cases[] = {
      {"", "2000", "*IDN?", IDC_IO_QUERY, "Choose or type a VISA resource, such as GPIB0::20::INSTR."},
      {"GPIB0::20::INSTR", "0", "*IDN?", IDC_IO_QUERY, timeout},
      {"GPIB0::20::INSTR", "fast", "", IDC_IO_READ, timeout},
      {"GPIB0::20::INSTR", "2000", " ", IDC_IO_WRITE, "Type a command to send, such as *IDN?"},
      {"GPIB0::20::INSTR", "2000", std::string(1025, 'A'), IDC_IO_QUERY, "The command is longer than 1024 characters."},
      {"GPIB9::1::INSTR", "2000", "*IDN?", IDC_IO_QUERY,
       "VISA rejects the resource \"GPIB9::1::INSTR\": 0xBFFF0011 VI_ERROR_RSRC_NFOUND."},
      {"not a resource", "2000", "", IDC_IO_CLEAR,
       "VISA rejects the resource \"not a resource\": 0xBFFF0012 VI_ERROR_INV_RSRC_NAME."},
  };
  std::vector<HeadlessStep> steps;
  for (const auto& c : cases) {
    steps.insert(steps.end(), {Type(IDC_IO_RESOURCE, c.resource), Type(IDC_IO_TIMEOUT, c.timeout),
                               Type(IDC_IO_COMMAND, c.command), headless::Click(c.button)});
  }
  m_dialogs.QueueScript(IDD_INSTRUMENT_IO, steps);
  const std::string window = RunCommands({ID_DIAGNOSE_IO});
  ASSERT_EQ(m_shell.MessageBoxes().size(), std::size(cases));
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(m_shell.MessageBoxes()[i].text, cases[i].message);
    EXPECT_EQ(m_shell.MessageBoxes()[i].caption, kIoCaption);
    EXPECT_EQ(m_shell.MessageBoxes()[i].owner, m_dialogs.LastWindow(IDD_INSTRUMENT_IO)->Handle());
  }
  EXPECT_EQ(Panel(), "");
  EXPECT_EQ(window, "");
}

TEST_F(InstrumentIoDlgTest, ALateAnswerComesWithTheNextReadAndACloseWaitsForTheCall) {
  if (!CInstrumentThread::Running()) GTEST_SKIP() << "no threads to run it on";
  ASSERT_TRUE(m_libraries.AddSimLibrary("visa32.dll"));
  m_bench.UseShipped("instrument-io.toml");
  std::string focusAfterTimeout;
  std::vector<std::string> captions;
  std::vector<std::string> remembered;
  m_dialogs.QueueScript(IDD_INSTRUMENT_IO,
                        {Type(IDC_IO_RESOURCE, "GPIB1::4::INSTR"), Type(IDC_IO_TIMEOUT, "1000"),
                         headless::Click(IDC_IO_QUERY), headless::Run([&](HeadlessWindow& window) {
                           focusAfterTimeout = std::to_string(window.FocusId());
                         }),
                         headless::Click(IDC_IO_READ), headless::Click(IDC_IO_CLEAR), headless::Close()});
  // The second opening keeps the settings and the history; it is closed while its read waits.
  m_dialogs.QueueScript(IDD_INSTRUMENT_IO,
                        {headless::Run([&](HeadlessWindow& window) {
                           for (const HeadlessItem& item : window.Control(IDC_IO_COMMAND)->items) remembered.push_back(item.text);
                           remembered.push_back(window.Text(IDC_IO_RESOURCE) + " " + window.Text(IDC_IO_TIMEOUT));
                         }),
                         Type(IDC_IO_RESOURCE, "GPIB1::5::INSTR"), Type(IDC_IO_COMMAND, "*OPC?"),
                         headless::Click(IDC_IO_QUERY), headless::Click(IDC_IO_READ)});
  std::function<void(CHeadlessDialogBackend&, HeadlessWindow&)> during = [&](CHeadlessDialogBackend& backend,
                                                                             HeadlessWindow& window) {
    if (window.Caption().find("reading from GPIB1::5") == std::string::npos) {
      return backend.QueueDuringWait(IDD_INSTRUMENT_IO, during);
    }
    captions.push_back(window.Caption());
    backend.Close(window);
    captions.push_back(window.Caption());
  };
  m_dialogs.QueueDuringWait(IDD_INSTRUMENT_IO, during);
  const std::string window = RunCommands({ID_DIAGNOSE_IO, ID_DIAGNOSE_IO});
  EXPECT_EQ(focusAfterTimeout, std::to_string(IDC_IO_CLEAR)) << "Device Clear is offered after a time-out";
  EXPECT_EQ(remembered, (std::vector<std::string>{"*IDN?", "GPIB1::4::INSTR 1000"}));
  const std::string reading = "Instrument I/O - reading from GPIB1::5::INSTR (time-out 1000 ms)";
  EXPECT_EQ(captions, (std::vector<std::string>{reading, reading + " - closing when the call has ended"}));
  HeadlessWindow* panel = m_dialogs.LastWindow(IDD_INSTRUMENT_IO);
  EXPECT_TRUE(panel->Ended() && panel->Result() == kIdCancel);
  EXPECT_EQ(panel->Caption(), kIoCaption);
  ExpectGolden("io_late_window.txt", window);
  EXPECT_EQ(SimOpenVisaObjects(), 0u);
  EXPECT_EQ(SimDeviceClears("GPIB1::4::INSTR"), 1);
}

TEST_F(InstrumentIoDlgTest, WithoutVisaThePanelSaysSoAndOffersNoAction) {
  bool disabled = true;
  m_dialogs.QueueScript(IDD_INSTRUMENT_IO, {headless::Run([&](HeadlessWindow& window) {
                                              for (int32_t id = IDC_IO_WRITE; id <= IDC_IO_ERROR_QUEUE; ++id) {
                                                disabled = disabled && !window.Control(id)->enabled;
                                              }
                                            }),
                                            headless::Click(kIdCancel)});
  EXPECT_EQ(RunCommands({ID_DIAGNOSE_IO}), "");
  EXPECT_TRUE(disabled);
  EXPECT_EQ(Panel(), "visa32.dll cannot be loaded.\r\n");
}

}  // namespace
