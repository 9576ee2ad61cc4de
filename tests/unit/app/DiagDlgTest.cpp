// The main dialog on the headless backend: start, intro, the layer command
// pattern, Clear, About, the small utilities and the window messages.
#include <gtest/gtest.h>

#include "app/AboutDlg.h"
#include "app/DiagApp.h"
#include "app/DiagDlg.h"
#include "app/ReportExport.h"
#include "tests/unit/app/AppFixture.h"
#include "tests/unit/app/ProbeCheck.h"

namespace {

class DiagDlgTest : public AppTest {
 protected:
  DiagDlgTest() { CProbeCheck::s_journal = &m_journal; }
  ~DiagDlgTest() override {
    CProbeCheck::s_journal = nullptr;
    CProbeCheck::s_extraLines = 0;
  }

  // Runs the main dialog with the script; the dialog object outlives the run so
  // its document can be read afterwards.
  void RunMain(std::vector<HeadlessStep> steps) {
    m_dialogs.QueueScript(IDD_BENCHSENTRY_DIALOG, std::move(steps));
    m_result = m_dialog.DoModal();
    m_window = m_dialogs.LastWindow(IDD_BENCHSENTRY_DIALOG);
    ASSERT_NE(m_window, nullptr);
  }

  HeadlessStep Probe() {
    return headless::Run([this](HeadlessWindow&) { m_dialog.RunLayerCommand<CProbeCheck>(); });
  }
  HeadlessStep SetTime(int hour, int minute, int second) {
    return headless::Run(
        [this, hour, minute, second](HeadlessWindow&) {
          m_clock.SetLocalTime(2001, 3, 2, hour, minute, second);
        });
  }
  HeadlessStep Capture(std::string& text) {
    return headless::Run([&text](HeadlessWindow& window) { text = window.Text(IDC_REPORT); });
  }

  std::string Head() const { return std::string(kReportHead) + kReportTitle; }

  CDiagDlg m_dialog;
  intptr_t m_result = 0;
  HeadlessWindow* m_window = nullptr;
};

TEST_F(DiagDlgTest, ApplicationRunsTheMainDialogOnceAndEnds) {
  m_dialogs.QueueScript(IDD_BENCHSENTRY_DIALOG, {headless::Close()});
  CDiagApp app;
  EXPECT_FALSE(app.InitInstance());
  EXPECT_EQ(m_dialogs.CommonControlsInits(), 1);
  ASSERT_EQ(m_dialogs.Windows().size(), 1u);
  EXPECT_FALSE(m_dialogs.Windows()[0]->Alive());
  EXPECT_EQ(m_journal.front(), "initcommoncontrols");
  EXPECT_EQ(m_journal[1], "modal 102");
  EXPECT_TRUE(m_dialogs.Faults().empty());
}

TEST_F(DiagDlgTest, ExitEndsTheApplicationAsItsMainWindow) {
  m_files.AddFile("C:\\benchsentry\\temp~987.html", "view");
  m_dialogs.QueueScript(IDD_BENCHSENTRY_DIALOG,
                        {headless::Command(ID_FILE_EXIT), headless::Command(ID_ABOUT)});
  CDiagApp app;
  EXPECT_FALSE(app.InitInstance());
  EXPECT_TRUE(m_dialogs.QuitPosted());
  EXPECT_EQ(m_dialogs.LastWindow(IDD_ABOUTBOX), nullptr);
  EXPECT_TRUE(m_files.Exists("C:\\benchsentry\\temp~987.html"));
  const std::vector<std::string> expected = {"destroy 102", "postquit 0", "modal-end 102"};
  EXPECT_EQ(JournalOf({"destroy", "postquit", "modal-end"}), expected);
}

TEST_F(DiagDlgTest, FirstShowSetsCaptionSystemMenuIconsAndIntro) {
  RunMain({});
  EXPECT_EQ(m_window->Caption(), "Diagnostic Tool - Velmora Technologies");
  EXPECT_EQ(m_window->Text(IDC_REPORT), kIntroText);
  EXPECT_EQ(m_dialog.Report(), Head());
  EXPECT_TRUE(m_dialog.ClearOnOutput());
  EXPECT_EQ(m_dialog.WindowMode(), kModePlain);
  EXPECT_EQ(m_dialog.BufferMode(), kModeMarkup);

  ASSERT_EQ(m_window->SystemMenu().size(), 2u);
  EXPECT_EQ(m_window->SystemMenu()[0].flags, kMfSeparator);
  EXPECT_EQ(m_window->SystemMenu()[1].flags, kMfString);
  EXPECT_EQ(m_window->SystemMenu()[1].id, 16u);
  EXPECT_EQ(m_window->SystemMenu()[1].text, kAboutMenuText);

  ASSERT_NE(m_dialog.Icon(), nullptr);
  EXPECT_EQ(m_window->BigIcon(), m_dialog.Icon());
  EXPECT_EQ(m_window->SmallIcon(), m_dialog.Icon());
  // The report window holds the whole report, whatever its length.
  EXPECT_EQ(m_window->Control(IDC_REPORT)->limit, UINT32_MAX);
  EXPECT_TRUE(m_dialogs.Faults().empty());
}

TEST_F(DiagDlgTest, ShowOrderIsCaptionResetDefaultThenIntro) {
  RunMain({});
  const std::vector<std::string> expected = {
      "caption Diagnostic Tool - Velmora Technologies",
      "settext 1000 ",
      "focus 1000",
      "defwindowproc 0x0018",
      std::string("settext 1000 ") + kIntroText,
  };
  EXPECT_EQ(JournalOf({"caption", "settext", "focus", "defwindowproc"}, "caption"), expected);
}

TEST_F(DiagDlgTest, NoSystemMenuItemWhenTheStringIsEmpty) {
  m_dialogs.DefineString(IDS_ABOUTBOX, "");
  RunMain({});
  EXPECT_TRUE(m_window->SystemMenu().empty());
}

TEST_F(DiagDlgTest, LayerCommandPatternRunsInOrder) {
  // Steps far enough apart that the window is due a refresh after each.
  m_clock.SetTicksPerRead(CDiagDlg::kRefreshTicks);
  RunMain({Probe()});
  std::vector<std::string> order = JournalOf(
      {"cursor", "focus", "setsel", "scrollcaret", "settext", "check", "step", "custom",
       "replacesel"},
      "cursor on");
  for (std::string& entry : order) {
    if (entry.compare(0, 10, "replacesel") == 0) entry.resize(15);
  }
  // The header before the first step's caption, then one insert after each step, the
  // last one before the cursor goes off.
  const std::vector<std::string> expected = {
      "cursor on",
      "focus 1000",
      "setsel 1000 " + std::to_string(std::string(kIntroText).size()) + " " +
          std::to_string(std::string(kIntroText).size()),
      "scrollcaret 1000",
      "settext 1000 ",
      "check constructed",
      "replacesel 1000",
      "step 1",
      "replacesel 1000",
      "step 2",
      "replacesel 1000",
      "step 3",
      "replacesel 1000",
      "cursor off",
      "check destroyed",
  };
  EXPECT_EQ(order, expected);
  EXPECT_EQ(m_shell.WaitCursorDepth(), 0);
  EXPECT_EQ(m_shell.UnbalancedWaitCursors(), 0);
  EXPECT_FALSE(m_dialog.ClearOnOutput());

  // Every insert went to the caret, not undoable, the header banner before the first step.
  const std::vector<std::string> inserts = JournalOf({"replacesel"});
  ASSERT_FALSE(inserts.empty());
  EXPECT_EQ(inserts.front(), "replacesel 1000 " + std::string(46, '*') +
                                 "\r\nProbe Layer check, Friday, March 02, 2001, 14:05:09,   \r\n" +
                                 std::string(46, '*') + "\r\n");
  EXPECT_FALSE(m_window->Control(IDC_REPORT)->undoable);
}

TEST_F(DiagDlgTest, CustomStartTakesThePlaceOfBegin) {
  RunMain({headless::Run([this](HeadlessWindow&) {
    m_dialog.RunLayerCommand<CProbeStartCheck>();
  })});
  const std::vector<std::string> expected = {"cursor on", "check constructed", "custom start",
                                             "step 1", "step 2", "step 3", "cursor off",
                                             "check destroyed"};
  EXPECT_EQ(JournalOf({"cursor", "check", "step", "custom"}), expected);
  EXPECT_EQ(m_window->Text(IDC_REPORT).compare(0, 46, std::string(46, '*')), 0);
}

TEST_F(DiagDlgTest, TwoCommandsFollowEachOtherInWindowAndDocument) {
  std::string afterFirst;
  RunMain({Probe(), Capture(afterFirst), SetTime(14, 6, 10), Probe()});
  const std::string window = ReadData("probe_two_window.txt");
  const std::string document = ReadData("probe_two_document.html");
  // The intro is gone before the first banner, and the first run is kept whole.
  EXPECT_EQ(afterFirst, window.substr(0, window.size() / 2));
  EXPECT_EQ(m_window->Text(IDC_REPORT), window);
  EXPECT_EQ(m_dialog.Report(), document);
}

TEST_F(DiagDlgTest, ClearEmptiesBothAndTheIntroDoesNotReturn) {
  std::string afterClear;
  RunMain({Probe(), headless::Command(ID_EDIT_CLEAR), Capture(afterClear),
           headless::Run([this](HeadlessWindow&) { EXPECT_EQ(m_dialog.Report(), Head()); }),
           Probe()});
  EXPECT_EQ(afterClear, "");
  const std::string window = ReadData("probe_two_window.txt");
  EXPECT_EQ(m_window->Text(IDC_REPORT), window.substr(0, window.size() / 2));
  const std::string document = ReadData("probe_two_document.html");
  const size_t oneRun = (document.size() - Head().size()) / 2;
  EXPECT_EQ(m_dialog.Report(), document.substr(0, Head().size() + oneRun));
}

TEST_F(DiagDlgTest, ClearBeforeAnyCommandStillClearsOnlyOnce) {
  RunMain({headless::Command(ID_EDIT_CLEAR_ALT),
           headless::Run([this](HeadlessWindow& window) {
             EXPECT_EQ(window.Text(IDC_REPORT), "");
             EXPECT_TRUE(m_dialog.ClearOnOutput());
           }),
           Probe()});
  const std::string window = ReadData("probe_two_window.txt");
  EXPECT_EQ(m_window->Text(IDC_REPORT), window.substr(0, window.size() / 2));
}

TEST_F(DiagDlgTest, CaretGoesToTheRealEndOfALongReport) {
  // Far past the platform's default limit: the second run must still append.
  CProbeCheck::s_extraLines = 60;
  CProbeCheck::s_extraLineLength = 1000;
  RunMain({Probe(), Probe()});
  const std::string& text = m_window->Text(IDC_REPORT);
  EXPECT_GT(text.size(), 120000u);
  const std::string banner = std::string(46, '*') + "\r\nProbe Layer check";
  const size_t second = text.find(banner, 1);
  ASSERT_NE(second, std::string::npos);
  EXPECT_EQ(text.substr(0, second), text.substr(second));
}

TEST_F(DiagDlgTest, AboutOpensByCommandAndBySystemMenu) {
  m_dialogs.QueueScript(IDD_ABOUTBOX, {headless::Click(kIdOk)});
  m_dialogs.QueueScript(IDD_ABOUTBOX, {headless::Close()});
  m_dialogs.QueueScript(IDD_ABOUTBOX, {headless::Click(kIdOk)});
  RunMain({headless::Command(ID_ABOUT), headless::SysCommand(IDM_ABOUTBOX),
           headless::SysCommand(0x13)});
  std::vector<HeadlessWindow*> abouts;
  for (HeadlessWindow* window : m_dialogs.Windows()) {
    if (window->TemplateId() == IDD_ABOUTBOX) abouts.push_back(window);
  }
  ASSERT_EQ(abouts.size(), 3u);
  EXPECT_EQ(abouts[0]->Result(), kIdOk);
  EXPECT_EQ(abouts[1]->Result(), kIdCancel);
  EXPECT_EQ(abouts[2]->Result(), kIdOk);
  for (HeadlessWindow* about : abouts) {
    EXPECT_EQ(about->Parent(), m_window->Handle());
    EXPECT_EQ(about->Caption(), "about");
  }
  // The main dialog is still open after each and nothing was written.
  EXPECT_EQ(m_window->Text(IDC_REPORT), kIntroText);
  EXPECT_EQ(m_dialogs.AbandonedRuns(), 1);  // the main dialog's script simply ran out
}

TEST_F(DiagDlgTest, OtherSystemCommandsAreLeftToThePlatform) {
  m_files.AddFile("C:\\benchsentry\\temp~987.html", "old");
  RunMain({headless::SysCommand(0x20), headless::SysCommand(kScClose)});
  for (HeadlessWindow* window : m_dialogs.Windows()) {
    EXPECT_NE(window->TemplateId(), IDD_ABOUTBOX);
  }
  // The close command reached OnClose through the platform's default handling.
  EXPECT_EQ(m_result, kIdCancel);
  EXPECT_FALSE(m_files.Exists("C:\\benchsentry\\temp~987.html"));
}

TEST_F(DiagDlgTest, GetPhysicalAddressStartsTheProgramHiddenAndWritesNothing) {
  RunMain({headless::Command(ID_EDIT_GET_PHYSICAL_ADDRESS)});
  ASSERT_EQ(m_shell.WinExecs().size(), 1u);
  EXPECT_EQ(m_shell.WinExecs()[0].commandLine, "lst.exe");
  EXPECT_EQ(m_shell.WinExecs()[0].show, kSwHide);
  EXPECT_EQ(m_window->Text(IDC_REPORT), kIntroText);
  EXPECT_EQ(m_dialog.Report(), Head());
  EXPECT_TRUE(m_dialog.ClearOnOutput());
}

TEST_F(DiagDlgTest, TriggersAndGuidedTestStopAtAMissingDriver) {
  RunMain({headless::Command(ID_DIAGNOSE_TRIGGERS), headless::Command(ID_DIAGNOSE_GUIDED_ALT)});
  const std::string& window = m_window->Text(IDC_REPORT);
  EXPECT_EQ(window.find("**********************************************\r\nTriggers Layer check, "),
            0u);
  EXPECT_NE(window.find("Guided optical Layer check, "), std::string::npos);
  EXPECT_EQ(window.find("This tool will allow you"), std::string::npos);
  // Neither dialog is run; only the guided test shows the wait cursor.
  EXPECT_TRUE(m_dialogs.Faults().empty());
  EXPECT_EQ(JournalOf({"cursor on"}).size(), 1u);
}

TEST_F(DiagDlgTest, ExitDestroysTheWindowWithoutClosing) {
  m_files.AddFile("C:\\benchsentry\\temp~987.html", "view");
  RunMain({headless::Command(ID_FILE_EXIT), headless::Command(ID_ABOUT)});
  EXPECT_FALSE(m_window->Alive());
  EXPECT_FALSE(m_window->Ended());
  EXPECT_EQ(m_dialog.Handle(), nullptr);
  EXPECT_TRUE(m_files.Exists("C:\\benchsentry\\temp~987.html"));
  // The step after Exit never ran: no About box.
  EXPECT_EQ(m_dialogs.LastWindow(IDD_ABOUTBOX), nullptr);
  EXPECT_EQ(m_dialogs.AbandonedRuns(), 0);
}

TEST_F(DiagDlgTest, CloseDeletesTheViewFileAndEndsTheDialog) {
  m_files.AddFile("C:\\benchsentry\\temp~987.html", "view");
  RunMain({headless::Close()});
  EXPECT_FALSE(m_files.Exists("C:\\benchsentry\\temp~987.html"));
  EXPECT_EQ(m_result, kIdCancel);
}

TEST_F(DiagDlgTest, CloseWithoutAViewFileStillCloses) {
  RunMain({headless::Close()});
  EXPECT_EQ(m_result, kIdCancel);
  EXPECT_TRUE(m_dialogs.Faults().empty());
}

TEST_F(DiagDlgTest, HidingTheWindowKeepsTheReport) {
  RunMain({Probe(), headless::Run([this](HeadlessWindow& window) {
             m_dialogs.Send(window, kWmShowWindow, 0, 0);
           })});
  const std::string window = ReadData("probe_two_window.txt");
  EXPECT_EQ(m_window->Text(IDC_REPORT), window.substr(0, window.size() / 2));
  EXPECT_NE(m_dialog.Report(), Head());
}

TEST_F(DiagDlgTest, MinimisedPaintDrawsTheIconCentred) {
  RunMain({headless::Run([this](HeadlessWindow& window) {
    window.SetIconic(true);
    window.SetClientRect(ClientRect{0, 0, 161, 100});
    EXPECT_EQ(m_dialogs.Send(window, kWmPaint, 0, 0), 1);
    window.SetClientRect(ClientRect{0, 0, 160, 33});
    m_dialogs.Send(window, kWmPaint, 0, 0);
  })});
  ASSERT_EQ(m_window->Draws().size(), 2u);
  EXPECT_EQ(m_window->Draws()[0].x, 65);  // (161 - 32 + 1) / 2
  EXPECT_EQ(m_window->Draws()[0].y, 34);  // (100 - 32 + 1) / 2
  EXPECT_EQ(m_window->Draws()[1].x, 64);  // (160 - 32 + 1) / 2
  EXPECT_EQ(m_window->Draws()[1].y, 1);   // (33 - 32 + 1) / 2
  EXPECT_EQ(m_window->Draws()[0].icon, m_dialog.Icon());
  const std::vector<std::string> expected = {"beginpaint", "sendmessage 0x0027", "drawicon 65 34",
                                             "endpaint",   "beginpaint", "sendmessage 0x0027",
                                             "drawicon 64 1", "endpaint"};
  EXPECT_EQ(JournalOf({"beginpaint", "sendmessage", "drawicon", "endpaint"}), expected);
  EXPECT_TRUE(m_dialogs.Faults().empty());
}

TEST_F(DiagDlgTest, NormalPaintIsLeftToThePlatform) {
  RunMain({headless::Run([this](HeadlessWindow& window) {
    EXPECT_EQ(m_dialogs.Send(window, kWmPaint, 0, 0), 0);
    EXPECT_EQ(m_dialogs.Send(window, kWmQueryDragIcon, 0, 0),
              reinterpret_cast<intptr_t>(m_dialog.Icon()));
  })});
  EXPECT_TRUE(m_window->Draws().empty());
}

TEST_F(DiagDlgTest, FocusNotificationsOfTheReportWindowAreNoCommands) {
  RunMain({Probe(), headless::Notify(IDC_REPORT, kEnSetFocus),
           headless::Notify(IDC_REPORT, kEnKillFocus), headless::Focus(IDC_REPORT)});
  const std::string window = ReadData("probe_two_window.txt");
  EXPECT_EQ(m_window->Text(IDC_REPORT), window.substr(0, window.size() / 2));
}

}  // namespace
