// The three ways out of the program, under Wine: Save (HTML), Save As Text and View as
// HTML, with the file names the save dialog returns, the text-mode bytes on disk and
// the message boxes of the failures.
#include "tests/gui/BenchsentryFixture.h"

#include <algorithm>

#include "tests/fakes/FakeText.h"

namespace gui {
namespace {

class Export : public BenchsentryTest {
 protected:
  // The document as the view file holds it, minus the text mode and the closing tags.
  std::string ViewedDocument() {
    [&] { ASSERT_NO_FATAL_FAILURE(Run(kViewAsHtml)); }();
    const std::string bytes = ReadFile(JoinPath(m_dir, kViewFile));
    const std::string closing = TextMode(kViewClosing);
    EXPECT_GE(bytes.size(), closing.size());
    EXPECT_EQ(bytes.substr(bytes.size() - std::min(bytes.size(), closing.size())), closing);
    return bytes;
  }
};

TEST_F(Export, ViewAfterClearHoldsTheHeadTitleAndClosingTagsInTextMode) {
  ASSERT_NO_FATAL_FAILURE(StartIn(m_dir));
  ASSERT_NO_FATAL_FAILURE(Run(kClear));
  ASSERT_NO_FATAL_FAILURE(Run(kViewAsHtml));
  EXPECT_EQ(ReadFile(JoinPath(m_dir, kViewFile)),
            TextMode(std::string(kReportHead) + kViewClosing));
  // The shell's open of the view file opens no window of the program's own.
  EXPECT_TRUE(m_app.WaitIdle());
  EXPECT_EQ(m_app.FindDialog(), nullptr);
}

TEST_F(Export, ViewFileIsTheDocumentOfTheReportWindowWithCrCrLf) {
  ASSERT_NO_FATAL_FAILURE(StartIn(m_dir));
  ASSERT_NO_FATAL_FAILURE(Run(kOsLayer));
  const std::string window = m_app.ReportText();
  ASSERT_NO_FATAL_FAILURE(Run(kViewAsHtml));
  const std::string bytes = ReadFile(JoinPath(m_dir, kViewFile));

  const std::string head = TextMode(kReportHead);
  const std::string closing = TextMode(kViewClosing);
  ASSERT_GT(bytes.size(), head.size() + closing.size());
  EXPECT_EQ(bytes.substr(0, head.size()), head);
  EXPECT_EQ(bytes.substr(bytes.size() - closing.size()), closing);
  EXPECT_EQ(bytes.find("<br>\r\n"), std::string::npos) << "a line end left as CR LF";
  EXPECT_NE(bytes.find("<br>\r\r\n"), std::string::npos);
  EXPECT_EQ(bytes.find("######"), std::string::npos) << "error marker in the document";

  // Every LF in the file comes from text mode; undone, and with the markup removed,
  // the checks' part of the document is what the window shows, error markers aside.
  std::string content;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n') {
      ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at " << i;
      content.back() = '\n';
    } else {
      content += bytes[i];
    }
  }
  const std::string checks = content.substr(
      std::string(kReportHead).size(),
      content.size() - std::string(kReportHead).size() - std::string(kViewClosing).size());
  EXPECT_EQ(StripMarkup(checks), Without(window, "######"));
}

TEST_F(Export, SaveIoTraceHoldsTheCommandsCallsAndStartsAfterClear) {
  ASSERT_NO_FATAL_FAILURE(StartIn(m_dir, Stage("app", true)));
  ASSERT_NO_FATAL_FAILURE(Run(kGpibLayer));
  ASSERT_NO_FATAL_FAILURE(SaveAs(kSaveTrace, JoinPath(m_dir, "gpib")));
  const auto gpib = TraceRows(ReadFile(JoinPath(m_dir, "gpib.txt")));
  ASSERT_FALSE(gpib.empty());
  // From the window's first call: the library loaded from the program's folder, then the scan.
  EXPECT_EQ(gpib.front()[0], "1");
  EXPECT_EQ(gpib.front()[5], "LoadLibrary");
  EXPECT_NE(gpib.front()[10].find("\\\\app\\\\visa32.dll\""), std::string::npos) << gpib.front()[10];
  for (const auto& row : gpib) EXPECT_EQ(row[3], "GPIB");
  EXPECT_TRUE(std::any_of(gpib.begin(), gpib.end(), [](const auto& row) { return row[5] == "viFindRsrc"; }));

  ASSERT_NO_FATAL_FAILURE(Run(kClear));
  ASSERT_NO_FATAL_FAILURE(Run(kInstrLayer));
  ASSERT_NO_FATAL_FAILURE(SaveAs(kSaveTrace, JoinPath(m_dir, "instr.txt")));
  const std::string text = ReadFile(JoinPath(m_dir, "instr.txt"));
  const auto instrument = TraceRows(text);
  ASSERT_FALSE(instrument.empty());
  const std::string next = std::to_string(gpib.size() + 1);
  EXPECT_EQ(instrument.front()[0], next);
  EXPECT_NE(text.find("# the calls since Clear, from call " + next + " on\r\n"), std::string::npos) << text.substr(0, 600);
  for (const auto& row : instrument) EXPECT_EQ(row[3], "Instrument");
}

TEST_F(Export, SaveAppendsHtmlUnlessTheExtensionIsExactlyHtml) {
  ASSERT_NO_FATAL_FAILURE(StartIn(m_dir));
  ASSERT_NO_FATAL_FAILURE(Run(kOsLayer));
  const std::string viewed = ViewedDocument();
  const std::string saved = viewed.substr(0, viewed.size() - TextMode(kViewClosing).size());

  ASSERT_NO_FATAL_FAILURE(SaveAs(kSave, JoinPath(m_dir, "plain")));
  EXPECT_EQ(ReadFile(JoinPath(m_dir, "plain.html")), saved);
  EXPECT_FALSE(FileExists(JoinPath(m_dir, "plain")));

  ASSERT_NO_FATAL_FAILURE(SaveAs(kSaveAlt, JoinPath(m_dir, "kept.html")));
  EXPECT_EQ(ReadFile(JoinPath(m_dir, "kept.html")), saved);
  EXPECT_FALSE(FileExists(JoinPath(m_dir, "kept.html.html")));

  ASSERT_NO_FATAL_FAILURE(SaveAs(kSave, JoinPath(m_dir, "upper.HTML")));
  EXPECT_EQ(ReadFile(JoinPath(m_dir, "upper.HTML.html")), saved);

  ASSERT_NO_FATAL_FAILURE(SaveAs(kSave, JoinPath(m_dir, "short.htm")));
  EXPECT_EQ(ReadFile(JoinPath(m_dir, "short.htm.html")), saved);

  // The saved report has no closing tags: it ends with the last check's text.
  EXPECT_EQ(saved.find("</body>"), std::string::npos);
  EXPECT_EQ(saved.find("</html>"), std::string::npos);
  CopyFileTo(JoinPath(m_dir, "plain.html"), ResultPath(".html"));
}

TEST_F(Export, SaveAsTextWritesTheWindowTextInTextMode) {
  ASSERT_NO_FATAL_FAILURE(StartIn(m_dir));
  ASSERT_NO_FATAL_FAILURE(SaveAs(kSaveAsText, JoinPath(m_dir, "intro")));
  EXPECT_EQ(ReadFile(JoinPath(m_dir, "intro.txt")), TextMode(kIntro));

  ASSERT_NO_FATAL_FAILURE(Run(kOsLayer));
  const std::string window = m_app.ReportText();
  ASSERT_NO_FATAL_FAILURE(SaveAs(kSaveAsTextAlt, JoinPath(m_dir, "report.txt")));
  const std::string text = ReadFile(JoinPath(m_dir, "report.txt"));
  EXPECT_EQ(text, TextMode(window));
  EXPECT_NE(text.find("\r\r\n"), std::string::npos);
  EXPECT_FALSE(FileExists(JoinPath(m_dir, "report.txt.txt")));

  ASSERT_NO_FATAL_FAILURE(SaveAs(kSaveAsText, JoinPath(m_dir, "upper.TXT")));
  EXPECT_EQ(ReadFile(JoinPath(m_dir, "upper.TXT.txt")), TextMode(window));
  CopyFileTo(JoinPath(m_dir, "report.txt"), ResultPath(".txt"));
}

TEST_F(Export, SaveAfterClearWritesTheHeadAndAnEmptyText) {
  ASSERT_NO_FATAL_FAILURE(StartIn(m_dir));
  ASSERT_NO_FATAL_FAILURE(Run(kOsLayer));
  ASSERT_NO_FATAL_FAILURE(Run(kClear));
  ASSERT_NO_FATAL_FAILURE(SaveAs(kSave, JoinPath(m_dir, "cleared")));
  EXPECT_EQ(ReadFile(JoinPath(m_dir, "cleared.html")), TextMode(kReportHead));
  ASSERT_NO_FATAL_FAILURE(SaveAs(kSaveAsText, JoinPath(m_dir, "cleared")));
  EXPECT_EQ(ReadFile(JoinPath(m_dir, "cleared.txt")), "");
}

TEST_F(Export, ViewInADirectoryWhereTheFileCannotBeCreatedShowsTheMessage) {
  // Under Wine as root a read-only folder is still writable; a folder in the place of
  // the view file makes its creation fail for certain.
  ASSERT_TRUE(MakeDirs(JoinPath(m_dir, kViewFile)));
  ASSERT_NO_FATAL_FAILURE(StartIn(m_dir));
  ASSERT_TRUE(m_app.PostCommand(kViewAsHtml));
  const CMessageBoxInfo box = AnswerMessageBox();
  EXPECT_EQ(box.caption, kFailedCaption);
  EXPECT_EQ(box.text,
            "the current directory is read only, you cannot view the html file,\n"
            "please use the \"Save as html\" button to save the file in a different "
            "location.");
  EXPECT_EQ(box.buttons, std::vector<std::string>{"OK"});
  EXPECT_EQ(m_app.ReportText(), kIntro);
  // Closing tries to delete the view file; a folder of that name is left alone.
  ASSERT_NO_FATAL_FAILURE(Close());
  EXPECT_TRUE(DirectoryExists(JoinPath(m_dir, kViewFile)));
}

TEST_F(Export, SaveThatCannotCreateTheFileSaysSo) {
  ASSERT_TRUE(MakeDirs(JoinPath(m_dir, "taken.html")));
  ASSERT_TRUE(MakeDirs(JoinPath(m_dir, "taken.txt")));
  ASSERT_NO_FATAL_FAILURE(StartIn(m_dir));

  ASSERT_NO_FATAL_FAILURE(SaveAs(kSave, JoinPath(m_dir, "taken")));
  CMessageBoxInfo box = AnswerMessageBox();
  EXPECT_EQ(box.caption, kFailedCaption);
  EXPECT_EQ(box.text, "The report could not be saved to\n" + JoinPath(m_dir, "taken.html") +
                          ".\nThe file was not saved.");
  EXPECT_EQ(box.buttons, std::vector<std::string>{"OK"});

  ASSERT_NO_FATAL_FAILURE(SaveAs(kSaveAsText, JoinPath(m_dir, "taken")));
  box = AnswerMessageBox();
  EXPECT_EQ(box.caption, kFailedCaption);
  EXPECT_EQ(box.text, "The report could not be saved to\n" + JoinPath(m_dir, "taken.txt") +
                          ".\nThe file was not saved.");
  EXPECT_TRUE(DirectoryExists(JoinPath(m_dir, "taken.html")));
  EXPECT_EQ(m_app.ReportText(), kIntro);
}

}  // namespace
}  // namespace gui
