// Times the system's own logic on the real platform, with no report window, for
// the benchmark scripts under tools/:
//   bs_check_timer.exe sw RUNS        the SW layer check, document only
//   bs_check_timer.exe search NAME    the drive search of C: for NAME
//   bs_check_timer.exe walk           a bare walk of C: with FindFirstFile/FindNextFile,
//                                     as a program of its own would list the drive
// Prints one line per measurement: "<what> <milliseconds> [entries]".
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/SwLayerCheck.h"
#include "platform/win32/Win32Platform.h"

namespace {

double Milliseconds(const LARGE_INTEGER& start, const LARGE_INTEGER& end) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

// The same tree the drive search covers: every directory listed once with *.*,
// "." and ".." and reparse points not entered.
long Walk(const std::string& directory) {
  long entries = 0;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((directory + "\\*.*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return 0;
  do {
    ++entries;
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) continue;
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) continue;
    if (std::strcmp(data.cFileName, ".") == 0 || std::strcmp(data.cFileName, "..") == 0) continue;
    entries += Walk(directory + "\\" + data.cFileName);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return entries;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bs_check_timer.exe sw RUNS | search NAME | walk\n");
    return 2;
  }
  SetPlatform(MakeWin32Platform());
  const std::string what = argv[1];
  LARGE_INTEGER start;
  LARGE_INTEGER end;
  if (what == "sw") {
    const int runs = argc > 2 ? std::atoi(argv[2]) : 1;
    for (int i = 0; i < runs; ++i) {
      ReportDocument document;
      QueryPerformanceCounter(&start);
      {
        CSwLayerCheck check;
        check.AttachBuffer(&document, kModeMarkup);
        check.Begin();
        while (check.Step() != -1) {
        }
      }
      QueryPerformanceCounter(&end);
      std::printf("sw %.1f %u\n", Milliseconds(start, end), static_cast<unsigned>(document.size()));
    }
  } else if (what == "search" && argc > 2) {
    CSwLayerCheck check;
    int counter = 0;
    QueryPerformanceCounter(&start);
    check.FindFileOnDrive("C:", argv[2], counter);
    QueryPerformanceCounter(&end);
    std::printf("search %.1f %d\n", Milliseconds(start, end), counter);
  } else if (what == "walk") {
    QueryPerformanceCounter(&start);
    const long entries = Walk("C:");
    QueryPerformanceCounter(&end);
    std::printf("walk %.1f %ld\n", Milliseconds(start, end), entries);
  } else {
    std::fprintf(stderr, "bs_check_timer: unknown measurement %s\n", what.c_str());
    return 2;
  }
  return 0;
}
