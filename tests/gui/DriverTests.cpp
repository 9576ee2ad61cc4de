// The driver itself, against a small dialog program of known behaviour: if these fail,
// a failure of the program's own GUI tests says nothing about the program.
#include "tests/gui/GuiDriver.h"
#include "tests/gui/GuiTestEnv.h"

#include <gtest/gtest.h>

namespace gui {
namespace {

class Driver : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(Env().testApp.empty()) << "BS_GUI_TESTAPP is not set";
    m_dir = TestWorkDir();
    ASSERT_TRUE(m_app.Start(Env().testApp, m_dir, "driver test"));
  }
  void TearDown() override {
    if (!m_app.HasExited()) {
      m_app.PostClose();
      m_app.WaitForExit(10000);
    }
  }

  CAppUnderTest m_app;
  std::string m_dir;
};

TEST_F(Driver, SendsCommandsAndReadsTheReportWindow) {
  EXPECT_EQ(m_app.ReportText(), "intro\r\n");
  ASSERT_TRUE(m_app.SendCommand(2001));
  ASSERT_TRUE(m_app.SendCommand(2001));
  EXPECT_EQ(m_app.ReportText(), "intro\r\nline\r\nline\r\n");
  ASSERT_TRUE(m_app.SendCommand(1001));
  EXPECT_EQ(m_app.ReportText(), "");
}

TEST_F(Driver, ReadsTextsStatesAndComboBoxesOfADialog) {
  ASSERT_TRUE(m_app.PostCommand(2002));
  HWND dialog = m_app.WaitForDialog(20000, "options");
  ASSERT_NE(dialog, nullptr);
  const CDialogInfo info = m_app.ReadDialog(dialog);
  EXPECT_EQ(info.caption, "options");

  const CControlInfo* label = info.Control(1005);
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text, "Pick one:");

  const CControlInfo* picked = info.Control(1006);
  ASSERT_NE(picked, nullptr);
  EXPECT_EQ(picked->items, (std::vector<std::string>{"alpha", "beta", "gamma"}));
  EXPECT_EQ(picked->selection, 1);
  EXPECT_TRUE(picked->enabled);

  const CControlInfo* unpicked = info.Control(1008);
  ASSERT_NE(unpicked, nullptr);
  EXPECT_EQ(unpicked->items.size(), 3u);
  EXPECT_EQ(unpicked->selection, -1);

  const CControlInfo* apply = info.Control(1007);
  ASSERT_NE(apply, nullptr);
  EXPECT_EQ(apply->text, "Apply");
  EXPECT_FALSE(apply->enabled);

  ASSERT_TRUE(m_app.PressButton(dialog, IDOK));
  EXPECT_TRUE(m_app.WaitForNoDialog());
}

TEST_F(Driver, ReadsAndAnswersAMessageBox) {
  ASSERT_TRUE(m_app.PostCommand(2004));
  HWND box = m_app.WaitForDialog();
  ASSERT_NE(box, nullptr);
  const CMessageBoxInfo info = m_app.ReadMessageBox(box);
  EXPECT_EQ(info.caption, "a caption");
  EXPECT_EQ(info.text, "first line\nsecond line");
  EXPECT_EQ(info.buttons, std::vector<std::string>{"OK"});
  ASSERT_TRUE(m_app.PressButton(box, IDOK));
  EXPECT_TRUE(m_app.WaitForNoDialog());
  EXPECT_TRUE(m_app.WaitIdle());
}

TEST_F(Driver, AnswersTheSaveDialogWithAPath) {
  ASSERT_TRUE(m_app.SendCommand(2001));
  ASSERT_TRUE(m_app.PostCommand(2003));
  HWND dialog = m_app.WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  const std::string path = JoinPath(m_dir, "saved.txt");
  ASSERT_TRUE(m_app.AnswerSaveDialog(dialog, path)) << Describe(m_app.ReadDialog(dialog));
  EXPECT_TRUE(m_app.WaitForNoDialog());
  EXPECT_TRUE(m_app.WaitIdle());
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(path, bytes));
  EXPECT_EQ(bytes, "intro\r\nline\r\n");
}

TEST_F(Driver, TakesAScreenshotOfTheWindow) {
  const std::string path = ResultPath(".png");
  EXPECT_TRUE(WaitPainted(m_app.MainWindow()));
  ASSERT_TRUE(SaveScreenshot(path, m_app.MainWindow()));
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(path, bytes));
  ASSERT_GT(bytes.size(), 33u);
  EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  RECT rect;
  ASSERT_TRUE(GetWindowRect(m_app.MainWindow(), &rect));
  auto be32 = [&](size_t at) {
    return (static_cast<unsigned char>(bytes[at]) << 24) |
           (static_cast<unsigned char>(bytes[at + 1]) << 16) |
           (static_cast<unsigned char>(bytes[at + 2]) << 8) |
           static_cast<unsigned char>(bytes[at + 3]);
  };
  EXPECT_EQ(be32(16), static_cast<unsigned>(rect.right - rect.left));
  EXPECT_EQ(be32(20), static_cast<unsigned>(rect.bottom - rect.top));
}

TEST_F(Driver, SeesTheProgramEndOnClose) {
  ASSERT_TRUE(m_app.PostClose());
  EXPECT_TRUE(m_app.WaitForExit(10000));
}

}  // namespace
}  // namespace gui
