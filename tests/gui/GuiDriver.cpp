#include "tests/gui/GuiDriver.h"

#include "tests/gui/PngWriter.h"

#include <commdlg.h>
#include <dlgs.h>

namespace gui {

namespace {

// Messages to another process can stall behind its running command; a bounded wait
// keeps a hung program from hanging the test run.
constexpr UINT kQuickMs = 5000;

bool Send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, DWORD timeoutMs, DWORD_PTR* result) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutA(hwnd, msg, wp, lp, SMTO_NORMAL, timeoutMs,
                             result ? result : &ignored) != 0;
}

struct CEnumState {
  DWORD pid;
  std::vector<HWND>* windows;
};

BOOL CALLBACK CollectTopLevel(HWND hwnd, LPARAM lp) {
  auto* state = reinterpret_cast<CEnumState*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == state->pid) {
    state->windows->push_back(hwnd);
  }
  return TRUE;
}

BOOL CALLBACK CollectChildren(HWND hwnd, LPARAM lp) {
  reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
  return TRUE;
}

std::vector<HWND> DirectChildren(HWND parent) {
  std::vector<HWND> all;
  EnumChildWindows(parent, CollectChildren, reinterpret_cast<LPARAM>(&all));
  std::vector<HWND> direct;
  for (HWND child : all) {
    if (GetParent(child) == parent) {
      direct.push_back(child);
    }
  }
  return direct;
}

// Item texts go through the wide messages: the narrow ones are not converted when
// they cross into another process.
std::string ItemText(HWND control, UINT lenMsg, UINT textMsg, int index) {
  DWORD_PTR len = 0;
  if (!SendMessageTimeoutW(control, lenMsg, static_cast<WPARAM>(index), 0, SMTO_NORMAL,
                           kQuickMs, &len) ||
      static_cast<LONG_PTR>(len) < 0) {
    return std::string();
  }
  std::wstring wide(len + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(control, textMsg, static_cast<WPARAM>(index),
                           reinterpret_cast<LPARAM>(&wide[0]), SMTO_NORMAL, kQuickMs, &copied) ||
      static_cast<LONG_PTR>(copied) < 0) {
    return std::string();
  }
  wide.resize(copied);
  const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string text(size, '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &text[0], size,
                      nullptr, nullptr);
  return text;
}

}  // namespace

const CControlInfo* CDialogInfo::Control(int id) const {
  for (const CControlInfo& control : controls) {
    if (control.id == id) {
      return &control;
    }
  }
  return nullptr;
}

std::string Describe(const CDialogInfo& info) {
  std::string text = "dialog \"" + info.caption + "\":";
  for (const CControlInfo& control : info.controls) {
    text += "\n  " + std::to_string(control.id) + " " + control.className + " \"" +
            control.text + "\"" + (control.enabled ? "" : " (disabled)");
    if (!control.items.empty()) {
      text += " items:";
      for (const std::string& item : control.items) {
        text += " \"" + item + "\"";
      }
      text += " selected " + std::to_string(control.selection);
    }
  }
  return text;
}

std::vector<HWND> TopLevelWindowsOf(DWORD pid) {
  std::vector<HWND> windows;
  CEnumState state{pid, &windows};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&state));
  return windows;
}

std::string Caption(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

bool WaitForCaption(HWND window, const std::string& caption, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < timeoutMs) {
    if (Caption(window) == caption) return true;
    Sleep(20);
  }
  return false;
}

std::string WindowText(HWND hwnd) {
  DWORD_PTR len = 0;
  if (!Send(hwnd, WM_GETTEXTLENGTH, 0, 0, kQuickMs, &len)) {
    return std::string();
  }
  std::string text(len + 1, '\0');
  DWORD_PTR copied = 0;
  if (!Send(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), kQuickMs,
            &copied)) {
    return std::string();
  }
  text.resize(copied);
  return text;
}

std::string WindowClass(HWND hwnd) {
  char name[256] = {};
  GetClassNameA(hwnd, name, sizeof name);
  return name;
}

CAppUnderTest::~CAppUnderTest() {
  Kill();
}

bool CAppUnderTest::Start(const std::string& exe, const std::string& workDir,
                          const std::string& caption, DWORD timeoutMs) {
  Kill();
  std::string commandLine = "\"" + exe + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  if (!CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                      workDir.c_str(), &si, &m_pi)) {
    m_pi = PROCESS_INFORMATION{};
    return false;
  }
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < timeoutMs) {
    for (HWND hwnd : TopLevelWindowsOf(m_pi.dwProcessId)) {
      if (IsWindowVisible(hwnd) && WindowClass(hwnd) == "#32770" &&
          WindowText(hwnd) == caption) {
        m_main = hwnd;
        return WaitIdle(timeoutMs);
      }
    }
    if (HasExited()) {
      return false;
    }
    Sleep(50);
  }
  return false;
}

bool CAppUnderTest::SendCommand(WORD id, DWORD timeoutMs) {
  return m_main && Send(m_main, WM_COMMAND, MAKEWPARAM(id, 0), 0, timeoutMs, nullptr);
}

bool CAppUnderTest::PostCommand(WORD id) {
  return m_main && PostMessageA(m_main, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

bool CAppUnderTest::PostSysCommand(WPARAM command) {
  return m_main && PostMessageA(m_main, WM_SYSCOMMAND, command, 0);
}

bool CAppUnderTest::PostClose() {
  return m_main && PostMessageA(m_main, WM_CLOSE, 0, 0);
}

bool CAppUnderTest::WaitIdle(DWORD timeoutMs) {
  return m_main && Send(m_main, WM_NULL, 0, 0, timeoutMs, nullptr);
}

std::string CAppUnderTest::ControlText(int id) const {
  HWND control = m_main ? GetDlgItem(m_main, id) : nullptr;
  return control ? WindowText(control) : std::string();
}

HWND CAppUnderTest::FindDialog(const std::string& caption) const {
  HWND disabledMatch = nullptr;
  for (HWND hwnd : TopLevelWindowsOf(m_pi.dwProcessId)) {
    if (hwnd == m_main || !IsWindowVisible(hwnd) || WindowClass(hwnd) != "#32770") {
      continue;
    }
    if (!caption.empty() && WindowText(hwnd) != caption) {
      continue;
    }
    // The innermost modal window is the enabled one; its owner is disabled.
    if (IsWindowEnabled(hwnd)) {
      return hwnd;
    }
    disabledMatch = hwnd;
  }
  return disabledMatch;
}

HWND CAppUnderTest::WaitForDialog(DWORD timeoutMs, const std::string& caption) const {
  const DWORD start = GetTickCount();
  do {
    if (HWND hwnd = FindDialog(caption)) {
      return hwnd;
    }
    Sleep(50);
  } while (GetTickCount() - start < timeoutMs && !HasExited());
  return nullptr;
}

bool CAppUnderTest::WaitForNoDialog(DWORD timeoutMs) const {
  const DWORD start = GetTickCount();
  do {
    if (!FindDialog()) {
      return true;
    }
    Sleep(50);
  } while (GetTickCount() - start < timeoutMs);
  return false;
}

CMessageBoxInfo CAppUnderTest::ReadMessageBox(HWND box) const {
  CMessageBoxInfo info;
  info.hwnd = box;
  info.caption = WindowText(box);
  if (HWND text = GetDlgItem(box, 0xFFFF)) {
    info.text = WindowText(text);
  }
  for (HWND child : DirectChildren(box)) {
    if (WindowClass(child) == "Button" && IsWindowVisible(child)) {
      info.buttons.push_back(WindowText(child));
    }
  }
  return info;
}

CDialogInfo CAppUnderTest::ReadDialog(HWND dialog) const {
  CDialogInfo info;
  info.hwnd = dialog;
  info.caption = WindowText(dialog);
  for (HWND child : DirectChildren(dialog)) {
    CControlInfo control;
    control.id = GetDlgCtrlID(child);
    control.className = WindowClass(child);
    control.text = WindowText(child);
    control.enabled = IsWindowEnabled(child) != FALSE;
    control.visible = IsWindowVisible(child) != FALSE;
    control.style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
    GetWindowRect(child, &control.rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&control.rect), 2);
    const bool combo = _stricmp(control.className.c_str(), "ComboBox") == 0;
    const bool list = _stricmp(control.className.c_str(), "ListBox") == 0;
    if (combo || list) {
      DWORD_PTR count = 0;
      Send(child, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0, kQuickMs, &count);
      for (int i = 0; i < static_cast<int>(count); ++i) {
        control.items.push_back(combo ? ItemText(child, CB_GETLBTEXTLEN, CB_GETLBTEXT, i)
                                      : ItemText(child, LB_GETTEXTLEN, LB_GETTEXT, i));
      }
      DWORD_PTR selection = 0;
      if (Send(child, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0, kQuickMs, &selection)) {
        control.selection = static_cast<int>(static_cast<LONG_PTR>(selection));
      }
    }
    info.controls.push_back(control);
  }
  return info;
}

bool CAppUnderTest::PressButton(HWND dialog, int id) const {
  HWND button = GetDlgItem(dialog, id);
  return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                      reinterpret_cast<LPARAM>(button)) != 0;
}

bool CAppUnderTest::SelectComboItem(HWND dialog, int id, int index) const {
  HWND combo = GetDlgItem(dialog, id);
  DWORD_PTR selected = 0;
  if (!combo || !Send(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0, kQuickMs, &selected) ||
      static_cast<int>(static_cast<LONG_PTR>(selected)) != index) {
    return false;
  }
  return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                      reinterpret_cast<LPARAM>(combo)) != 0;
}

bool CAppUnderTest::FocusControl(HWND dialog, int id) const {
  HWND control = GetDlgItem(dialog, id);
  return control && PostMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control),
                                 TRUE) != 0;
}

RECT DialogUnitsToPixels(HWND dialog, int width, int height, const RECT& units) {
  RECT client{};
  GetClientRect(dialog, &client);
  RECT pixels{};
  pixels.left = MulDiv(units.left, client.right, width);
  pixels.top = MulDiv(units.top, client.bottom, height);
  pixels.right = MulDiv(units.right, client.right, width);
  pixels.bottom = MulDiv(units.bottom, client.bottom, height);
  return pixels;
}

bool CAppUnderTest::AnswerSaveDialog(HWND dialog, const std::string& path) const {
  // The file-name field is an edit (edt1) in some versions of the dialog and an edit
  // nested inside the combo box cmb13 in others.
  HWND edit = GetDlgItem(dialog, edt1);
  if (!edit) {
    if (HWND combo = GetDlgItem(dialog, cmb13)) {
      std::vector<HWND> inside;
      EnumChildWindows(combo, CollectChildren, reinterpret_cast<LPARAM>(&inside));
      for (HWND child : inside) {
        if (WindowClass(child) == "Edit") {
          edit = child;
          break;
        }
      }
    }
  }
  if (!edit) {
    return false;
  }
  if (!Send(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()), kQuickMs, nullptr)) {
    return false;
  }
  return PressButton(dialog, IDOK);
}

bool CAppUnderTest::HasExited() const {
  return !m_pi.hProcess || WaitForSingleObject(m_pi.hProcess, 0) == WAIT_OBJECT_0;
}

std::string CAppUnderTest::ExitDescription() const {
  DWORD code = 0;
  if (!m_pi.hProcess || !HasExited() || !GetExitCodeProcess(m_pi.hProcess, &code)) return "still running";
  char text[64];
  std::snprintf(text, sizeof text, "exited with code %lu (0x%08lX)", static_cast<unsigned long>(code),
                static_cast<unsigned long>(code));
  return text;
}

bool CAppUnderTest::WaitForExit(DWORD timeoutMs) {
  return m_pi.hProcess && WaitForSingleObject(m_pi.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

void CAppUnderTest::Kill() {
  if (m_pi.hProcess) {
    if (!HasExited()) {
      TerminateProcess(m_pi.hProcess, 1);
      WaitForSingleObject(m_pi.hProcess, 10000);
    }
    CloseHandle(m_pi.hProcess);
    CloseHandle(m_pi.hThread);
  }
  m_pi = PROCESS_INFORMATION{};
  m_main = nullptr;
}

bool WaitPainted(HWND window, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  do {
    std::vector<HWND> windows{window};
    EnumChildWindows(window, CollectChildren, reinterpret_cast<LPARAM>(&windows));
    bool pending = false;
    for (HWND hwnd : windows) {
      pending = pending || (IsWindowVisible(hwnd) && GetUpdateRect(hwnd, nullptr, FALSE));
    }
    if (!pending) {
      return true;
    }
    Sleep(20);
  } while (GetTickCount() - start < timeoutMs);
  return false;
}

bool SaveScreenshot(const std::string& pngPath, HWND window) {
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (window && !GetWindowRect(window, &area)) {
    return false;
  }
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) {
    return false;
  }
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
  bmi.bmiHeader.biWidth = width;
  bmi.bmiHeader.biHeight = -height;  // top-down rows, as PNG stores them
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = false;
  if (bitmap && bits) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    ok = BitBlt(memory, 0, 0, width, height, screen, area.left, area.top,
                SRCCOPY | CAPTUREBLT) != 0;
    GdiFlush();
    SelectObject(memory, old);
    if (ok) {
      const auto* bgra = static_cast<const unsigned char*>(bits);
      std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
      for (size_t i = 0, n = static_cast<size_t>(width) * height; i < n; ++i) {
        rgb[i * 3 + 0] = bgra[i * 4 + 2];
        rgb[i * 3 + 1] = bgra[i * 4 + 1];
        rgb[i * 3 + 2] = bgra[i * 4 + 0];
      }
      ok = WritePng(pngPath, width, height, rgb);
    }
  }
  if (bitmap) {
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ok;
}

}  // namespace gui
