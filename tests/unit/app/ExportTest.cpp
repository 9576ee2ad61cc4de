// Save, Save As Text, View as HTML and the view file's removal on close.
#include <gtest/gtest.h>

#include "app/DiagDlg.h"
#include "app/ReportExport.h"
#include "tests/unit/app/AppFixture.h"
#include "tests/unit/app/ProbeCheck.h"

namespace {


TEST(ReportExportRules, EveryLineFeedBecomesCarriageReturnLineFeed) {
  EXPECT_EQ(ToTextFileBytes(""), "");
  EXPECT_EQ(ToTextFileBytes("a\nb"), "a\r\nb");
  EXPECT_EQ(ToTextFileBytes("<br>\r\n"), "<br>\r\r\n");
  EXPECT_EQ(ToTextFileBytes("\n\n"), "\r\n\r\n");
  EXPECT_EQ(ToTextFileBytes("lone\rcarriage"), "lone\rcarriage");
  EXPECT_EQ(ToTextFileBytes("no end"), "no end");
}

TEST(ReportExportRules, ExtensionIsAppendedUnlessExactlyRight) {
  struct Case {
    const char* path;
    uint16_t offset;
    const char* extension;
    const char* expected;
  };
  const Case cases[] = {
      {"C:\\reports\\bench", 0, "html", "C:\\reports\\bench.html"},
      {"C:\\reports\\bench.html", 17, "html", "C:\\reports\\bench.html"},
      {"C:\\reports\\bench.HTML", 17, "html", "C:\\reports\\bench.HTML.html"},
      {"C:\\reports\\bench.htm", 17, "html", "C:\\reports\\bench.htm.html"},
      {"C:\\reports\\bench.txt", 17, "html", "C:\\reports\\bench.txt.html"},
      {"C:\\reports\\bench.txt", 17, "txt", "C:\\reports\\bench.txt"},
      {"C:\\reports\\bench.TXT", 17, "txt", "C:\\reports\\bench.TXT.txt"},
      {"C:\\reports\\bench.html", 17, "txt", "C:\\reports\\bench.html.txt"},
      {"C:\\my.reports\\bench", 0, "txt", "C:\\my.reports\\bench.txt"},
      // An offset past the end is no extension.
      {"C:\\reports\\bench", 400, "txt", "C:\\reports\\bench.txt"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WithExtension(c.path, c.offset, c.extension), c.expected) << c.path;
  }
}

TEST(ReportExportRules, FilterIsDescriptionNulPatternNul) {
  const std::string filter = SaveFilter("HTML file *.html", "*.html");
  EXPECT_EQ(filter, std::string("HTML file *.html\0*.html\0", 24));
}

class ExportTest : public AppTest {
 protected:
  ExportTest() { CProbeCheck::s_journal = &m_journal; }
  ~ExportTest() override {
    CProbeCheck::s_journal = nullptr;
    CProbeCheck::s_extraLines = 0;
  }

  void RunMain(std::vector<HeadlessStep> steps) {
    m_dialogs.QueueScript(IDD_BENCHSENTRY_DIALOG, std::move(steps));
    m_dialog.DoModal();
    m_window = m_dialogs.LastWindow(IDD_BENCHSENTRY_DIALOG);
    ASSERT_NE(m_window, nullptr);
  }
  HeadlessStep Probe() {
    return headless::Run([this](HeadlessWindow&) { m_dialog.RunLayerCommand<CProbeCheck>(); });
  }
  HeadlessStep SetTime(int hour, int minute, int second) {
    return headless::Run([this, hour, minute, second](HeadlessWindow&) {
      m_clock.SetLocalTime(2001, 3, 2, hour, minute, second);
    });
  }
  std::vector<HeadlessStep> TwoProbes(HeadlessStep then) {
    return {Probe(), SetTime(14, 6, 10), Probe(), std::move(then)};
  }

  CDiagDlg m_dialog;
  HeadlessWindow* m_window = nullptr;
};

TEST_F(ExportTest, SaveWritesTheDocumentAsATextFile) {
  m_shell.QueueSaveAnswer("C:\\reports\\bench");
  RunMain(TwoProbes(headless::Command(ID_FILE_SAVE)));
  ASSERT_EQ(m_shell.SaveDialogs().size(), 1u);
  EXPECT_EQ(m_shell.SaveDialogs()[0].filter, std::string("HTML file *.html\0*.html\0", 24));
  EXPECT_EQ(m_shell.SaveDialogs()[0].flags, kOfnHideReadOnly | kOfnOverwritePrompt);
  EXPECT_EQ(m_shell.SaveDialogs()[0].owner, m_window->Handle());
  const std::string bytes = FileBytes("C:\\reports\\bench.html");
  EXPECT_EQ(bytes, ReadData("probe_two_saved.html"));
  // The saved document is not closed, and every break went out as CR CR LF.
  EXPECT_EQ(bytes.find("</body>"), std::string::npos);
  EXPECT_EQ(bytes.find("<br>\r\n"), std::string::npos);
  EXPECT_TRUE(m_shell.MessageBoxes().empty());
  EXPECT_EQ(m_files.OpenHandles(), 0);
}

TEST_F(ExportTest, SaveKeepsAnExactHtmlNameAndExtendsOthers) {
  m_shell.QueueSaveAnswer("C:\\reports\\a.html");
  m_shell.QueueSaveAnswer("C:\\reports\\b.HTML");
  m_shell.QueueSaveAnswer("C:\\reports\\c.htm");
  RunMain({headless::Command(ID_FILE_SAVE), headless::Command(ID_FILE_SAVE_ALT),
           headless::Command(ID_FILE_SAVE)});
  const std::string empty = ToTextFileBytes(std::string(kReportHead) + kReportTitle);
  EXPECT_EQ(FileBytes("C:\\reports\\a.html"), empty);
  EXPECT_EQ(FileBytes("C:\\reports\\b.HTML.html"), empty);
  EXPECT_EQ(FileBytes("C:\\reports\\c.htm.html"), empty);
  EXPECT_FALSE(m_files.Exists("C:\\reports\\a.html.html"));
  EXPECT_FALSE(m_files.Exists("C:\\reports\\b.HTML"));
}

TEST_F(ExportTest, CancelledSaveWritesNothing) {
  m_shell.QueueSaveCancel();
  m_shell.QueueSaveCancel();
  RunMain({headless::Command(ID_FILE_SAVE), headless::Command(ID_FILE_SAVE_AS_TEXT)});
  EXPECT_EQ(m_shell.SaveDialogs().size(), 2u);
  EXPECT_TRUE(m_shell.MessageBoxes().empty());
  std::vector<FindEntry> entries;
  m_files.FindFiles("C:\\reports\\*.*", entries);
  for (const FindEntry& entry : entries) {
    EXPECT_TRUE(entry.name == "." || entry.name == "..") << entry.name;
  }
}

TEST_F(ExportTest, SaveThatCannotCreateTheFileSaysSo) {
  m_files.SetReadOnly("C:\\reports");
  m_shell.QueueSaveAnswer("C:\\reports\\bench.html");
  m_shell.QueueSaveAnswer("C:\\reports\\bench");
  RunMain({Probe(), headless::Command(ID_FILE_SAVE), headless::Command(ID_FILE_SAVE_AS_TEXT)});
  ASSERT_EQ(m_shell.MessageBoxes().size(), 2u);
  EXPECT_EQ(m_shell.MessageBoxes()[0].text,
            "The report could not be saved to\nC:\\reports\\bench.html.\nThe file was not saved.");
  EXPECT_EQ(m_shell.MessageBoxes()[1].text,
            "The report could not be saved to\nC:\\reports\\bench.txt.\nThe file was not saved.");
  for (const FakeMessageBox& box : m_shell.MessageBoxes()) {
    EXPECT_EQ(box.caption, "Could not finish request");
    EXPECT_EQ(box.type, kMbOk);
    EXPECT_EQ(box.owner, m_window->Handle());
  }
}

TEST_F(ExportTest, SaveThatCannotWriteTheFileSaysSoAndLeavesNoPart) {
  m_files.SetDiskFull();
  m_shell.QueueSaveAnswer("C:\\reports\\bench.txt");
  RunMain({Probe(), headless::Command(ID_FILE_SAVE_AS_TEXT)});
  ASSERT_EQ(m_shell.MessageBoxes().size(), 1u);
  EXPECT_EQ(m_shell.MessageBoxes()[0].text,
            "The report could not be saved to\nC:\\reports\\bench.txt.\nThe file was not saved.");
  EXPECT_FALSE(m_files.Exists("C:\\reports\\bench.txt"));
  EXPECT_EQ(m_files.OpenHandles(), 0);
}

TEST_F(ExportTest, SaveAsTextWritesTheWindowText) {
  m_shell.QueueSaveAnswer("C:\\reports\\bench.txt");
  RunMain(TwoProbes(headless::Command(ID_FILE_SAVE_AS_TEXT)));
  ASSERT_EQ(m_shell.SaveDialogs().size(), 1u);
  EXPECT_EQ(m_shell.SaveDialogs()[0].filter, std::string("Text file *.txt\0*.txt\0", 22));
  EXPECT_EQ(m_shell.SaveDialogs()[0].flags, kOfnHideReadOnly | kOfnOverwritePrompt);
  const std::string bytes = FileBytes("C:\\reports\\bench.txt");
  EXPECT_EQ(bytes, ReadData("probe_two_saved.txt"));
  // The error stands with its marker and without colour.
  EXPECT_NE(bytes.find("######Probe part missing\r\r\n"), std::string::npos);
  EXPECT_EQ(bytes.find("<font"), std::string::npos);
}

TEST_F(ExportTest, HtmlKeepsErrorsInRedWithoutTheMarker) {
  m_shell.QueueSaveAnswer("C:\\reports\\bench.html");
  RunMain({Probe(), headless::Command(ID_FILE_SAVE)});
  const std::string bytes = FileBytes("C:\\reports\\bench.html");
  EXPECT_NE(bytes.find("<b><font color=#ff0000>Probe part missing\r\r\n<br></font></b>"),
            std::string::npos);
  EXPECT_EQ(bytes.find("######"), std::string::npos);
}

TEST_F(ExportTest, SaveAsTextBeforeAnyCommandWritesTheIntro) {
  m_shell.QueueSaveAnswer("C:\\reports\\intro");
  RunMain({headless::Command(ID_FILE_SAVE_AS_TEXT_ALT)});
  EXPECT_EQ(FileBytes("C:\\reports\\intro.txt"), ReadData("intro_saved.txt"));
}

TEST_F(ExportTest, SaveAsTextAfterClearWritesAnEmptyFile) {
  m_shell.QueueSaveAnswer("C:\\reports\\cleared.TXT");
  RunMain({Probe(), headless::Command(ID_EDIT_CLEAR), headless::Command(ID_FILE_SAVE_AS_TEXT)});
  EXPECT_EQ(FileBytes("C:\\reports\\cleared.TXT.txt"), "");
  EXPECT_TRUE(m_shell.MessageBoxes().empty());
}

TEST_F(ExportTest, SaveAsTextWritesALongReportWhole) {
  CProbeCheck::s_extraLines = 150;
  CProbeCheck::s_extraLineLength = 1000;
  m_shell.QueueSaveAnswer("C:\\reports\\long.txt");
  m_shell.QueueSaveAnswer("C:\\reports\\long.html");
  RunMain({Probe(), headless::Command(ID_FILE_SAVE_AS_TEXT), headless::Command(ID_FILE_SAVE)});
  const std::string text = FileBytes("C:\\reports\\long.txt");
  EXPECT_GT(text.size(), 150000u);
  EXPECT_EQ(text, ToTextFileBytes(m_window->Text(IDC_REPORT)));
  const std::string tail = "Probe Layer Check FAILED!!!. \r\r\n\r\r\n";
  ASSERT_GE(text.size(), tail.size());
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
  EXPECT_EQ(FileBytes("C:\\reports\\long.html"), ToTextFileBytes(m_dialog.Report()));
}

TEST_F(ExportTest, ViewWritesTheClosedDocumentThenOpensIt) {
  bool checkedAtOpen = false;
  m_shell.OnShellExecute([this, &checkedAtOpen] {
    // Complete and closed before the shell is asked.
    EXPECT_EQ(m_files.OpenHandles(), 0);
    EXPECT_EQ(FileBytes("C:\\benchsentry\\temp~987.html"), ReadData("probe_two_view.html"));
    checkedAtOpen = true;
  });
  RunMain(TwoProbes(headless::Command(ID_FILE_VIEW_AS_HTML)));
  EXPECT_TRUE(checkedAtOpen);
  ASSERT_EQ(m_shell.ShellExecutes().size(), 1u);
  const FakeShellExecute& open = m_shell.ShellExecutes()[0];
  EXPECT_EQ(open.verb, "open");
  EXPECT_EQ(open.file, "temp~987.html");
  EXPECT_FALSE(open.hasParameters);
  EXPECT_FALSE(open.hasDirectory);
  EXPECT_EQ(open.show, kSwShowNormal);
  const std::string bytes = FileBytes("C:\\benchsentry\\temp~987.html");
  const std::string closing = "\r\n  </body>\r\n</html>";
  EXPECT_EQ(bytes.substr(bytes.size() - closing.size()), closing);
  // The document itself is not changed by the view.
  EXPECT_EQ(m_dialog.Report(), ReadData("probe_two_document.html"));
}

TEST_F(ExportTest, ViewOverwritesTheLastViewFile) {
  m_files.AddFile("C:\\benchsentry\\temp~987.html", "an older, much longer view of the report");
  RunMain({headless::Command(ID_FILE_VIEW_AS_HTML_ALT)});
  EXPECT_EQ(FileBytes("C:\\benchsentry\\temp~987.html"), ReadData("empty_report_view.html"));
}

TEST_F(ExportTest, ViewInAReadOnlyDirectoryOpensNothing) {
  m_files.SetReadOnly("C:\\benchsentry");
  RunMain({Probe(), headless::Command(ID_FILE_VIEW_AS_HTML)});
  ASSERT_EQ(m_shell.MessageBoxes().size(), 1u);
  EXPECT_EQ(m_shell.MessageBoxes()[0].text,
            "the current directory is read only, you cannot view the html file,\n"
            "please use the \"Save as html\" button to save the file in a different location.");
  EXPECT_EQ(m_shell.MessageBoxes()[0].caption, "Could not finish request");
  EXPECT_EQ(m_shell.MessageBoxes()[0].type, kMbOk);
  EXPECT_TRUE(m_shell.ShellExecutes().empty());
}

TEST_F(ExportTest, ViewThatCannotBeWrittenIsNotOpened) {
  m_files.SetDiskFull();
  RunMain({headless::Command(ID_FILE_VIEW_AS_HTML)});
  ASSERT_EQ(m_shell.MessageBoxes().size(), 1u);
  EXPECT_EQ(m_shell.MessageBoxes()[0].text,
            "The report could not be saved to\ntemp~987.html.\nThe file was not saved.");
  EXPECT_TRUE(m_shell.ShellExecutes().empty());
  EXPECT_FALSE(m_files.Exists("C:\\benchsentry\\temp~987.html"));
}

TEST_F(ExportTest, ExitLeavesTheViewFileAndCloseRemovesIt) {
  RunMain({headless::Command(ID_FILE_VIEW_AS_HTML), headless::Command(ID_FILE_EXIT)});
  EXPECT_TRUE(m_files.Exists("C:\\benchsentry\\temp~987.html"));

  CDiagDlg second;
  m_dialogs.QueueScript(IDD_BENCHSENTRY_DIALOG, {headless::Close()});
  second.DoModal();
  EXPECT_FALSE(m_files.Exists("C:\\benchsentry\\temp~987.html"));
}

}  // namespace
