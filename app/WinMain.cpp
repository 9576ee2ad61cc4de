// Entry point of benchsentry.exe: install the real platform, run the application.
#include <windows.h>

#include "app/DiagApp.h"
#include "platform/win32/Win32Platform.h"

namespace {
CDiagApp theApp;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  SetPlatform(MakeWin32Platform());
  theApp.InitInstance();
  return 0;
}
