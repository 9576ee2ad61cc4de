// The main dialog of the real program under Wine: intro, commands by both their ids,
// Clear, About by the menu and by the system menu, Exit and close.
#include "tests/gui/BenchsentryFixture.h"

namespace gui {
namespace {

class MainDialog : public BenchsentryTest {};

TEST_F(MainDialog, ShowsTheIntroAfterStart) {
  ASSERT_NO_FATAL_FAILURE(StartIn(m_dir));
  EXPECT_EQ(WindowText(m_app.MainWindow()), kCaption);
  EXPECT_EQ(m_app.ReportText(), kIntro);
  EXPECT_NE(GetDlgItem(m_app.MainWindow(), 1000), nullptr);
  Screenshot(".png");
}

TEST_F(MainDialog, FirstCommandClearsTheIntroAndTheSecondAppends) {
  ASSERT_NO_FATAL_FAILURE(StartIn(m_dir));
  ASSERT_NO_FATAL_FAILURE(Run(kOsLayer));
  const std::string first = m_app.ReportText();
  EXPECT_EQ(first.find("Velmora Technologies Diagnostic Tool Version 1.0"), std::string::npos);
  EXPECT_EQ(first.rfind(std::string(kHeaderRule) + "OS Layer check, ", 0), 0u) << first;
  EXPECT_NE(first.find("OS Layer Check"), std::string::npos) << first;

  ASSERT_NO_FATAL_FAILURE(Run(kOsLayerAlt));
  const std::string both = m_app.ReportText();
  ASSERT_EQ(both.compare(0, first.size(), first), 0) << both;
  const std::string second = both.substr(first.size());
  EXPECT_EQ(second.rfind(std::string(kHeaderRule) + "OS Layer check, ", 0), 0u) << second;
  Screenshot(".png");
}

TEST_F(MainDialog, ClearEmptiesTheWindowByBothIdsAndTheIntroStaysAway) {
  ASSERT_NO_FATAL_FAILURE(StartIn(m_dir));
  ASSERT_NO_FATAL_FAILURE(Run(kClear));
  EXPECT_EQ(m_app.ReportText(), "");

  ASSERT_NO_FATAL_FAILURE(Run(kOsLayer));
  const std::string report = m_app.ReportText();
  EXPECT_EQ(report.rfind(kHeaderRule, 0), 0u) << report;

  ASSERT_NO_FATAL_FAILURE(Run(kClearAlt));
  EXPECT_EQ(m_app.ReportText(), "");
  ASSERT_NO_FATAL_FAILURE(Run(kOsLayer));
  EXPECT_EQ(m_app.ReportText().rfind(kHeaderRule, 0), 0u);
}

TEST_F(MainDialog, GetPhysicalAddressWritesNothing) {
  ASSERT_NO_FATAL_FAILURE(StartIn(m_dir));
  ASSERT_NO_FATAL_FAILURE(Run(kGetPhysicalAddress));
  EXPECT_EQ(m_app.ReportText(), kIntro);
  EXPECT_EQ(m_app.FindDialog(), nullptr);
}

void ExpectAboutBox(CAppUnderTest& app, HWND about) {
  const CDialogInfo info = app.ReadDialog(about);
  EXPECT_EQ(info.caption, "about");
  bool version = false;
  for (const CControlInfo& control : info.controls) {
    version = version || control.text == "Diagnostic Tool Version 1.0";
  }
  EXPECT_TRUE(version) << Describe(info);
  const CControlInfo* ok = info.Control(IDOK);
  ASSERT_NE(ok, nullptr) << Describe(info);
  EXPECT_EQ(ok->text, "OK");
  EXPECT_TRUE(ok->enabled);
  // The main dialog waits behind its modal About box.
  EXPECT_FALSE(IsWindowEnabled(app.MainWindow()));
}

TEST_F(MainDialog, AboutOpensFromTheMenu) {
  ASSERT_NO_FATAL_FAILURE(StartIn(m_dir));
  ASSERT_TRUE(m_app.PostCommand(kAbout));
  HWND about = m_app.WaitForDialog(20000, "about");
  ASSERT_NE(about, nullptr);
  ExpectAboutBox(m_app, about);
  Screenshot(".png", about);
  ASSERT_TRUE(m_app.PressButton(about, IDOK));
  EXPECT_TRUE(m_app.WaitForNoDialog());
  EXPECT_TRUE(IsWindowEnabled(m_app.MainWindow()));
  EXPECT_EQ(m_app.ReportText(), kIntro);
}

TEST_F(MainDialog, AboutOpensFromTheSystemMenu) {
  ASSERT_NO_FATAL_FAILURE(StartIn(m_dir));
  ASSERT_TRUE(m_app.PostSysCommand(kAboutSysCommand));
  HWND about = m_app.WaitForDialog(20000, "about");
  ASSERT_NE(about, nullptr);
  ExpectAboutBox(m_app, about);
  ASSERT_TRUE(m_app.PressButton(about, IDOK));
  EXPECT_TRUE(m_app.WaitForNoDialog());
  EXPECT_FALSE(m_app.HasExited());
}

TEST_F(MainDialog, ExitLeavesTheViewFile) {
  ASSERT_NO_FATAL_FAILURE(StartIn(m_dir));
  ASSERT_NO_FATAL_FAILURE(Run(kViewAsHtml));
  const std::string view = JoinPath(m_dir, kViewFile);
  ASSERT_TRUE(FileExists(view));
  ASSERT_TRUE(m_app.PostCommand(kExit));
  ASSERT_TRUE(m_app.WaitForExit());
  EXPECT_TRUE(FileExists(view));
}

TEST_F(MainDialog, CloseDeletesTheViewFile) {
  ASSERT_NO_FATAL_FAILURE(StartIn(m_dir));
  ASSERT_NO_FATAL_FAILURE(Run(kViewAsHtml));
  const std::string view = JoinPath(m_dir, kViewFile);
  ASSERT_TRUE(FileExists(view));
  ASSERT_NO_FATAL_FAILURE(Close());
  EXPECT_FALSE(FileExists(view));
}

TEST_F(MainDialog, CloseFromTheSystemMenuDeletesTheViewFile) {
  ASSERT_NO_FATAL_FAILURE(StartIn(m_dir));
  ASSERT_NO_FATAL_FAILURE(Run(kViewAsHtmlAlt));
  const std::string view = JoinPath(m_dir, kViewFile);
  ASSERT_TRUE(FileExists(view));
  ASSERT_TRUE(m_app.PostSysCommand(SC_CLOSE));
  ASSERT_TRUE(m_app.WaitForExit());
  EXPECT_FALSE(FileExists(view));
}

TEST_F(MainDialog, CloseWithoutAViewFileEndsQuietly) {
  ASSERT_NO_FATAL_FAILURE(StartIn(m_dir));
  ASSERT_NO_FATAL_FAILURE(Close());
  EXPECT_FALSE(FileExists(JoinPath(m_dir, kViewFile)));
}

}  // namespace
}  // namespace gui
