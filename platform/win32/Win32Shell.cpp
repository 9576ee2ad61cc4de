// Program start, shell open, the save-file dialog, message boxes and the wait cursor.
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#include <cstring>
#include <vector>

#include "platform/win32/SystemFunctions.h"
#include "platform/win32/Win32Placement.h"
#include "platform/win32/Win32Platform.h"

namespace {

// Longer than MAX_PATH, so a deep folder still fits.
constexpr DWORD kSavePathSize = 4096;

// A program of the window subsystem has no console of its own; the one of the
// prompt it was started from is attached on first use. AttachConsole came with
// Windows XP: looked up, so the program still starts on older systems.
HANDLE ParentConsole() {
  static HANDLE console = INVALID_HANDLE_VALUE;
  static bool tried = false;
  if (tried) return console;
  tried = true;
  const auto attach = Kernel32Late().AttachConsole;
  constexpr DWORD kAttachParentProcess = static_cast<DWORD>(-1);
  if (attach == nullptr || !attach(kAttachParentProcess)) return console;
  console = ::CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          nullptr, OPEN_EXISTING, 0, nullptr);
  return console;
}

// A message box places itself before anyone can move it: a hook of the
// thread sees it about to become active and centres it over its owner, as a
// dialog centres itself, once.
HHOOK g_boxHook = nullptr;
HWND g_boxOwner = nullptr;

LRESULT CALLBACK CentreBoxHook(int code, WPARAM wParam, LPARAM lParam) {
  HHOOK hook = g_boxHook;
  if (code == HCBT_ACTIVATE && hook != nullptr && ::GetWindow(reinterpret_cast<HWND>(wParam), GW_OWNER) == g_boxOwner) {
    CentreOverOwner(reinterpret_cast<HWND>(wParam));
    ::UnhookWindowsHookEx(hook);
    g_boxHook = nullptr;
  }
  return ::CallNextHookEx(hook, code, wParam, lParam);
}

class CWin32Shell : public IShell {
 public:
  uint32_t WinExec(const char* commandLine, int32_t show) override {
    return ::WinExec(commandLine, static_cast<UINT>(show));
  }

  intptr_t ShellExecute(WindowHandle owner, const char* verb, const char* file,
                        const char* parameters, const char* directory, int32_t show) override {
    return reinterpret_cast<intptr_t>(
        ::ShellExecuteA(static_cast<HWND>(owner), verb, file, parameters, directory, show));
  }

  bool GetSaveFileName(WindowHandle owner, const std::string& filter, uint32_t flags,
                       std::string& path, uint16_t& extensionOffset) override {
    std::vector<char> file(kSavePathSize, '\0');
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = static_cast<HWND>(owner);
    // c_str() adds the second NUL that ends the filter list.
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = kSavePathSize;
    dialog.Flags = flags;
    if (!::GetSaveFileNameA(&dialog)) return false;
    path = file.data();
    extensionOffset = dialog.nFileExtension;
    return true;
  }

  int32_t MessageBox(WindowHandle owner, const char* text, const char* caption,
                     uint32_t type) override {
    HWND ownerWindow = static_cast<HWND>(owner);
    if (ownerWindow != nullptr && g_boxHook == nullptr) {
      g_boxOwner = ownerWindow;
      g_boxHook = ::SetWindowsHookExA(WH_CBT, &CentreBoxHook, nullptr, ::GetCurrentThreadId());
    }
    const int result = ::MessageBoxA(ownerWindow, text, caption, type);
    if (g_boxHook != nullptr) {
      ::UnhookWindowsHookEx(g_boxHook);
      g_boxHook = nullptr;
    }
    return result;
  }

  bool WriteToConsole(const char* text, bool error) override {
    HANDLE out = ::GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    if (out == nullptr || out == INVALID_HANDLE_VALUE) out = ParentConsole();
    if (out == nullptr || out == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(std::strlen(text));
    return ::WriteFile(out, text, size, &written, nullptr) != FALSE && written == size;
  }

  void BeginWaitCursor() override {
    HCURSOR previous = ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
    m_restore.push_back(previous);
  }

  void EndWaitCursor() override {
    HCURSOR restore = ::LoadCursorA(nullptr, IDC_ARROW);
    if (!m_restore.empty()) {
      if (m_restore.back() != nullptr) restore = m_restore.back();
      m_restore.pop_back();
    }
    ::SetCursor(restore);
  }

 private:
  std::vector<HCURSOR> m_restore;
};

}  // namespace

IShell& Win32Shell() {
  static CWin32Shell shell;
  return shell;
}
