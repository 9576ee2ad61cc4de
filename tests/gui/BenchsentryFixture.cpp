#include "tests/gui/BenchsentryFixture.h"

namespace gui {

std::string TextMode(const std::string& content) {
  std::string bytes;
  for (char c : content) {
    if (c == '\n') {
      bytes += '\r';
    }
    bytes += c;
  }
  return bytes;
}

std::string StripMarkup(const std::string& markup) {
  std::string text;
  bool inside = false;
  for (char c : markup) {
    if (c == '<') {
      inside = true;
    } else if (inside) {
      inside = c != '>';
    } else {
      text += c;
    }
  }
  return text;
}

std::string Without(std::string text, const std::string& what) {
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at)) {
    text.erase(at, what.size());
  }
  return text;
}

std::string Section(const std::string& text, const std::string& from, const std::string& to) {
  const size_t start = text.find(from);
  if (start == std::string::npos) {
    return std::string();
  }
  const size_t end = text.find(to, start + from.size());
  return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

void BenchsentryTest::SetUp() {
  ASSERT_FALSE(Env().exe.empty()) << "BS_GUI_EXE is not set";
  m_dir = TestWorkDir();
  ASSERT_TRUE(DirectoryExists(m_dir)) << m_dir;
}

void BenchsentryTest::TearDown() {
  if (HasFailure() && m_app.MainWindow()) {
    Screenshot(".failure.png");
  }
  if (!m_app.HasExited()) {
    // Whatever is still open is answered the way a user would leave it.
    while (HWND dialog = m_app.FindDialog()) {
      PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
      if (!m_app.WaitForNoDialog(3000)) {
        break;
      }
    }
    m_app.PostClose();
    if (!m_app.WaitForExit(5000)) {
      m_app.Kill();
    }
  }
}

void BenchsentryTest::StartIn(const std::string& dir, const std::string& exe) {
  ASSERT_TRUE(m_app.Start(exe.empty() ? Env().exe : exe, dir, kCaption))
      << "benchsentry did not show its main dialog (working directory " << dir << "; it "
      << m_app.ExitDescription() << ")";
}

std::string BenchsentryTest::Stage(const std::string& folder, bool withBench) {
  const std::string dir = JoinPath(m_dir, folder);
  MakeDirs(dir);
  const std::string exe = JoinPath(dir, "benchsentry.exe");
  EXPECT_TRUE(CopyFileTo(Env().exe, exe)) << Env().exe;
  if (withBench) {
    EXPECT_FALSE(Env().simDir.empty()) << "BS_GUI_SIM_DIR is not set";
    for (const char* dll : {"kv740m_32.dll", "visa32.dll", "zeb_32.dll"}) {
      EXPECT_TRUE(CopyFileTo(JoinPath(Env().simDir, dll), JoinPath(dir, dll))) << dll;
    }
  }
  return exe;
}

void BenchsentryTest::Run(WORD command) {
  ASSERT_TRUE(m_app.SendCommand(command)) << "command " << command << " did not return";
}

void BenchsentryTest::SaveAs(WORD command, const std::string& path) {
  ASSERT_TRUE(m_app.PostCommand(command));
  HWND dialog = m_app.WaitForDialog();
  ASSERT_NE(dialog, nullptr) << "no save dialog for command " << command;
  ASSERT_TRUE(m_app.AnswerSaveDialog(dialog, path)) << Describe(m_app.ReadDialog(dialog));
  // The dialog is gone once the file is written, or once a message box replaced it.
  const DWORD start = GetTickCount();
  while (IsWindow(dialog) && GetTickCount() - start < 20000) {
    Sleep(50);
  }
  ASSERT_FALSE(IsWindow(dialog)) << "the save dialog stayed open: "
                                 << Describe(m_app.ReadDialog(dialog));
  // The program writes the file after the dialog has gone; it is done when its window
  // answers again (or a message box about the save answers for it).
  ASSERT_TRUE(m_app.WaitIdle(20000)) << "the program did not return from the save";
}

CMessageBoxInfo BenchsentryTest::AnswerMessageBox() {
  CMessageBoxInfo info;
  HWND box = m_app.WaitForDialog();
  EXPECT_NE(box, nullptr) << "no message box";
  if (box) {
    info = m_app.ReadMessageBox(box);
    Screenshot(".message.png", box);
    EXPECT_TRUE(m_app.PressButton(box, IDOK));
    EXPECT_TRUE(m_app.WaitForNoDialog());
    EXPECT_TRUE(m_app.WaitIdle());
  }
  return info;
}

std::string BenchsentryTest::ReadFile(const std::string& path) {
  std::string bytes;
  EXPECT_TRUE(ReadFileBytes(path, bytes)) << path << " cannot be read";
  return bytes;
}

void BenchsentryTest::Screenshot(const std::string& suffix, HWND window) {
  HWND shown = window ? window : m_app.MainWindow();
  SetForegroundWindow(shown);
  m_app.WaitIdle(10000);
  WaitPainted(shown);
  // Numbered, so that several screenshots of one test keep their order.
  const std::string name = "." + std::to_string(++m_screenshots) + suffix;
  EXPECT_TRUE(SaveScreenshot(ResultPath(name), shown)) << "screenshot " << name;
}

void BenchsentryTest::Close() {
  ASSERT_TRUE(m_app.PostClose());
  ASSERT_TRUE(m_app.WaitForExit()) << "benchsentry did not end on its close command";
}

}  // namespace gui
