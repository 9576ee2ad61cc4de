#pragma once
// Windows functions newer than the oldest systems the program starts on, looked
// up at run time: one X-macro list per system library, as the bench libraries'
// functions are listed (platform/LateBinding.h). None is required (number 0):
// where each is called, a missing one has its fallback.
#include <windows.h>

#include <commctrl.h>

#include "platform/LateBinding.h"

#define BS_KERNEL32_LATE_FUNCTIONS(X)                                       \
  X(0, AttachConsole, BOOL, (DWORD))          /* XP */                      \
  X(0, GlobalMemoryStatusEx, BOOL, (MEMORYSTATUSEX*)) /* 2000 */            \
  X(0, IsWow64Process, BOOL, (HANDLE, BOOL*)) /* XP SP2, 2003 SP1 */        \
  X(0, Wow64DisableWow64FsRedirection, BOOL, (void**)) /* XP x64, 2003 SP1 */ \
  X(0, Wow64RevertWow64FsRedirection, BOOL, (void*))   /* XP x64, 2003 SP1 */ \
  X(0, GetSystemWow64DirectoryA, UINT, (LPSTR, UINT))  /* XP x64, 2003 */

#define BS_COMCTL32_LATE_FUNCTIONS(X) \
  X(0, InitCommonControlsEx, BOOL, (const INITCOMMONCONTROLSEX*)) /* comctl32 4.70 */

#define BS_USER32_LATE_FUNCTIONS(X)                                        \
  X(0, MonitorFromWindow, HANDLE, (HWND, DWORD))   /* 98, 2000 */          \
  X(0, GetMonitorInfoA, BOOL, (HANDLE, void*))     /* 98, 2000 */

#define BS_SYSTEM_TABLE_FIELD(number, name, result, params) result(WINAPI* name) params = nullptr;

BS_LATE_BOUND_TABLE(Kernel32LateTable, BS_KERNEL32_LATE_FUNCTIONS, BS_SYSTEM_TABLE_FIELD)
BS_LATE_BOUND_TABLE(Comctl32LateTable, BS_COMCTL32_LATE_FUNCTIONS, BS_SYSTEM_TABLE_FIELD)
BS_LATE_BOUND_TABLE(User32LateTable, BS_USER32_LATE_FUNCTIONS, BS_SYSTEM_TABLE_FIELD)

// The table of a system library the program links, looked up on first use.
template <class Table>
const Table& LateBoundSystemTable(const char* library) {
  static const Table table = [library] {
    Table looked;
    const HMODULE module = ::GetModuleHandleA(library);
    if (module != nullptr) {
      looked.LookUpWith([module](const char* name) { return reinterpret_cast<void*>(::GetProcAddress(module, name)); });
    }
    return looked;
  }();
  return table;
}

inline const Kernel32LateTable& Kernel32Late() { return LateBoundSystemTable<Kernel32LateTable>("kernel32.dll"); }
inline const Comctl32LateTable& Comctl32Late() { return LateBoundSystemTable<Comctl32LateTable>("comctl32.dll"); }
inline const User32LateTable& User32Late() { return LateBoundSystemTable<User32LateTable>("user32.dll"); }
