// Runs benchsentry's Diagnose All without a user: starts the program, runs the command,
// takes a screenshot of the window, saves the HTML and the text report, closes it.
//   bs_gui_demo.exe PROGRAM WORKDIR OUTDIR
#include "tests/gui/GuiDriver.h"

#include <cstdio>
#include <string>

namespace {

constexpr WORD kDiagnoseAll = 32793;
constexpr WORD kSave = 57603;
constexpr WORD kSaveAsText = 32791;

int Fail(const char* what) {
  std::fprintf(stderr, "demo: %s\n", what);
  return 1;
}

bool Save(gui::CAppUnderTest& app, WORD command, const std::string& path) {
  if (!app.PostCommand(command)) {
    return false;
  }
  HWND dialog = app.WaitForDialog(30000);
  if (!dialog || !app.AnswerSaveDialog(dialog, path)) {
    return false;
  }
  const DWORD start = GetTickCount();
  while (IsWindow(dialog) && GetTickCount() - start < 30000) {
    Sleep(50);
  }
  return !IsWindow(dialog) && app.WaitIdle() && !app.FindDialog();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    return Fail("usage: bs_gui_demo.exe PROGRAM WORKDIR OUTDIR");
  }
  const std::string exe = argv[1];
  const std::string workDir = argv[2];
  const std::string outDir = argv[3];

  gui::CAppUnderTest app;
  if (!app.Start(exe, workDir, "Diagnostic Tool - Velmora Technologies", 60000)) {
    return Fail("the program did not show its main dialog");
  }
  std::printf("demo: running Diagnose All\n");
  std::fflush(stdout);
  if (!app.SendCommand(kDiagnoseAll, 1800000)) {
    return Fail("Diagnose All did not finish");
  }
  SetForegroundWindow(app.MainWindow());
  app.WaitIdle();
  gui::WaitPainted(app.MainWindow());
  if (!gui::SaveScreenshot(outDir + "\\screenshot.png", app.MainWindow())) {
    return Fail("no screenshot");
  }
  if (!Save(app, kSave, outDir + "\\report.html")) {
    return Fail("the HTML report was not saved");
  }
  if (!Save(app, kSaveAsText, outDir + "\\report.txt")) {
    return Fail("the text report was not saved");
  }
  if (!app.PostClose() || !app.WaitForExit(20000)) {
    return Fail("the program did not end on its close command");
  }
  return 0;
}
