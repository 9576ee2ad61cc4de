// Entry point of benchsentry.exe: install the real platform, then either the
// dialog as always or, with options, the run the command line asks for.
#include <windows.h>

#include "app/CommandLine.h"
#include "app/DiagApp.h"
#include "app/HeadlessRun.h"
#include "platform/win32/Win32Platform.h"

namespace {
CDiagApp theApp;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  SetPlatform(MakeWin32Platform());
  const CRunOptions options = ParseCommandLine(commandLine != nullptr ? commandLine : "");
  if (options.mode != RunMode::Interactive) return RunFromCommandLine(options);
  theApp.InitInstance();
  return 0;
}
