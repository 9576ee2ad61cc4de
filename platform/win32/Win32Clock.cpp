#include <windows.h>

#include <ctime>

#include "platform/win32/Win32Platform.h"

namespace {

class CWin32Clock : public IClock {
 public:
  bool LocalTime(std::tm& time) override {
    std::time_t now = std::time(nullptr);
    if (now == static_cast<std::time_t>(-1)) return false;
    const std::tm* local = std::localtime(&now);
    if (local == nullptr) return false;
    time = *local;
    return true;
  }
  int32_t Clock() override { return static_cast<int32_t>(std::clock()); }
  int64_t Microseconds() override {
    LARGE_INTEGER frequency;
    LARGE_INTEGER count;
    if (!::QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0 || !::QueryPerformanceCounter(&count)) {
      return IClock::Microseconds();
    }
    // Seconds and the rest apart, so the product does not overflow.
    const int64_t seconds = count.QuadPart / frequency.QuadPart;
    const int64_t rest = count.QuadPart % frequency.QuadPart;
    return seconds * 1000000 + rest * 1000000 / frequency.QuadPart;
  }
  void Wait(int32_t milliseconds) override {
    if (milliseconds <= 0) return;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(milliseconds), QS_ALLINPUT);
  }
};

}  // namespace

IClock& Win32Clock() {
  static CWin32Clock clock;
  return clock;
}
