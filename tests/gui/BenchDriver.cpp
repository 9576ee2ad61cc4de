// Times menu commands of benchsentry as a user would wait for them: the program is
// started, each command is sent and timed until it returns, the program is closed.
//   bs_gui_bench.exe PROGRAM WORKDIR COMMAND_ID [COMMAND_ID ...]
// Prints one line per command: "command <id> <milliseconds>".
#include "tests/gui/GuiDriver.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: bs_gui_bench.exe PROGRAM WORKDIR COMMAND_ID [COMMAND_ID ...]\n");
    return 2;
  }
  gui::CAppUnderTest app;
  if (!app.Start(argv[1], argv[2], "Diagnostic Tool - Velmora Technologies", 60000)) {
    std::fprintf(stderr, "bench: the program did not show its main dialog\n");
    return 1;
  }
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  for (int i = 3; i < argc; ++i) {
    const WORD id = static_cast<WORD>(std::atoi(argv[i]));
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceCounter(&start);
    if (!app.SendCommand(id, 3600000)) {
      std::fprintf(stderr, "bench: command %u did not return\n", id);
      return 1;
    }
    QueryPerformanceCounter(&end);
    const double ms = 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                      static_cast<double>(frequency.QuadPart);
    std::printf("command %u %.1f\n", id, ms);
    std::fflush(stdout);
  }
  app.PostClose();
  app.WaitForExit(20000);
  return 0;
}
