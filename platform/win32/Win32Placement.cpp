#include "platform/win32/Win32Placement.h"

#include "platform/win32/SystemFunctions.h"

namespace {

// The part of the screen that windows may take, on the screen that shows most
// of the owner. One screen per system before 98 and 2000: the work area.
RECT WorkArea(HWND owner) {
  const auto& user32 = User32Late();
  if (user32.MonitorFromWindow != nullptr && user32.GetMonitorInfoA != nullptr) {
    constexpr DWORD kMonitorDefaultToNearest = 2;
    struct {
      DWORD size;
      RECT monitor;
      RECT work;
      DWORD flags;
    } info = {sizeof(info), {}, {}, 0};
    HANDLE monitor = user32.MonitorFromWindow(owner, kMonitorDefaultToNearest);
    if (monitor != nullptr && user32.GetMonitorInfoA(monitor, &info)) return info.work;
  }
  RECT work = {};
  if (::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0) && work.right > work.left) return work;
  return RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

}  // namespace

void CentreOverOwner(HWND window) {
  HWND owner = ::GetWindow(window, GW_OWNER);
  RECT ownerRect = {};
  RECT rect = {};
  if (owner == nullptr || !::GetWindowRect(owner, &ownerRect) || !::GetWindowRect(window, &rect)) return;
  const RECT work = WorkArea(owner);
  const LONG width = rect.right - rect.left;
  const LONG height = rect.bottom - rect.top;
  LONG x = ownerRect.left + (ownerRect.right - ownerRect.left - width) / 2;
  LONG y = ownerRect.top + (ownerRect.bottom - ownerRect.top - height) / 2;
  // Right and bottom first: a window larger than the screen keeps its caption on it.
  if (x + width > work.right) x = work.right - width;
  if (y + height > work.bottom) y = work.bottom - height;
  if (x < work.left) x = work.left;
  if (y < work.top) y = work.top;
  ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
