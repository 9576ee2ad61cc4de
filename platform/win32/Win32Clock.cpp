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
