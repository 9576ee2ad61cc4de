#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "sim/SimHost.h"

namespace sim {

// Through the process environment, not the C library's copy of it, so that a
// variable set after the start of the program is seen.
std::string BenchFileFromEnvironment() {
  DWORD size = GetEnvironmentVariableA("BENCHSENTRY_BENCH", nullptr, 0);
  if (size == 0) {
    return std::string();
  }
  std::vector<char> value(size + 1, '\0');
  DWORD length = GetEnvironmentVariableA("BENCHSENTRY_BENCH", value.data(), size + 1);
  return length > 0 && length <= size ? std::string(value.data(), length) : std::string();
}

void SleepMilliseconds(int32_t milliseconds) {
  if (milliseconds > 0) {
    Sleep(static_cast<DWORD>(milliseconds));
  }
}

void ReportBenchError(const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  std::fflush(stderr);
  OutputDebugStringA((message + "\n").c_str());
}

// The library's own module is the one its code lies in.
std::string OwnPublisher() {
  MEMORY_BASIC_INFORMATION memory = {};
  if (VirtualQuery(reinterpret_cast<const void*>(&OwnPublisher), &memory, sizeof(memory)) == 0) {
    return std::string();
  }
  char path[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameA(static_cast<HMODULE>(memory.AllocationBase), path, MAX_PATH);
  DWORD handle = 0;
  const DWORD size = length == 0 || length >= MAX_PATH ? 0 : GetFileVersionInfoSizeA(path, &handle);
  std::vector<char> block(size + 1, '\0');
  void* value = nullptr;
  UINT valueLength = 0;
  if (size == 0 || !GetFileVersionInfoA(path, 0, size, block.data()) ||
      !VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &valueLength) || valueLength < 4) {
    return std::string();
  }
  const WORD* translation = static_cast<const WORD*>(value);
  char query[64] = {};
  std::snprintf(query, sizeof(query), "\\StringFileInfo\\%04x%04x\\CompanyName", translation[0], translation[1]);
  if (!VerQueryValueA(block.data(), query, &value, &valueLength) || valueLength == 0) {
    return std::string();
  }
  return std::string(static_cast<const char*>(value), strnlen(static_cast<const char*>(value), valueLength));
}

}  // namespace sim
