// Times menu commands of benchsentry as a user would wait for them: the program is
// started, each command is sent and timed until it returns, the program is closed.
//   bs_gui_bench.exe PROGRAM WORKDIR COMMAND_ID [COMMAND_ID ...]
// Prints one line per command: "command <id> <milliseconds> <working set KB> <commit KB>",
// the program's memory once the command has returned.
#include "tests/gui/GuiDriver.h"

#include <psapi.h>

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
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, app.ProcessId());
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
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    if (process == nullptr || !GetProcessMemoryInfo(process, &memory, sizeof(memory))) memory = {};
    std::printf("command %u %.1f %lu %lu\n", id, ms, static_cast<unsigned long>(memory.WorkingSetSize / 1024),
                static_cast<unsigned long>(memory.PagefileUsage / 1024));
    std::fflush(stdout);
  }
  if (process != nullptr) CloseHandle(process);
  app.PostClose();
  app.WaitForExit(20000);
  return 0;
}
