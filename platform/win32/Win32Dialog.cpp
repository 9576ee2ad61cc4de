// The dialog framework on Win32: DialogBoxParam with one static dialog procedure
// that forwards to the CDialog object, and one thin wrapper per operation.
#include <windows.h>
#include <commctrl.h>

#include <new>
#include <vector>

#include "platform/Dialog.h"
#include "platform/win32/SystemFunctions.h"
#include "platform/win32/Win32Placement.h"
#include "platform/win32/Win32Platform.h"

namespace {

HWND Hwnd(WindowHandle window) { return static_cast<HWND>(window); }

HWND Item(WindowHandle dialog, int32_t id) { return ::GetDlgItem(Hwnd(dialog), id); }

LRESULT SendItem(WindowHandle dialog, int32_t id, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::SendDlgItemMessageA(Hwnd(dialog), id, message, wParam, lParam);
}

// The object is known from WM_INITDIALOG on (its lParam); messages before that
// (WM_SETFONT and the like) get the default handling.
INT_PTR CALLBACK StaticDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CDialog* dialog = nullptr;
  if (message == WM_INITDIALOG) {
    dialog = reinterpret_cast<CDialog*>(lParam);
    ::SetWindowLongPtrA(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(dialog));
  } else {
    dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
  }
  if (dialog == nullptr) return FALSE;
  const INT_PTR result = dialog->HandleMessage(hwnd, message, wParam, lParam);
  // Centred over the owner, as the usual framework places an owned dialog.
  if (message == WM_INITDIALOG) CentreOverOwner(hwnd);
  if (message == WM_NCDESTROY) ::SetWindowLongPtrA(hwnd, DWLP_USER, 0);
  return result;
}

static_assert(sizeof(PAINTSTRUCT) <= sizeof(PaintSession::storage),
              "PaintSession cannot hold the platform's paint record");

class CWin32Dialogs : public IDialogBackend {
 public:
  // The extended call needs comctl32 4.70 (Internet Explorer 3), which a bare
  // NT 4.0 or 95 lacks; the basic one is in every version.
  bool InitCommonControls() override {
    const auto initEx = Comctl32Late().InitCommonControlsEx;
    if (initEx == nullptr) {
      ::InitCommonControls();
      return true;
    }
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES;
    return initEx(&controls) != FALSE;
  }

  intptr_t DoModal(CDialog& dialog, int32_t templateId, WindowHandle parent) override {
    return ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId),
                             Hwnd(parent), &StaticDialogProc, reinterpret_cast<LPARAM>(&dialog));
  }

  bool EndDialog(WindowHandle dialog, intptr_t result) override {
    return ::EndDialog(Hwnd(dialog), result) != FALSE;
  }

  bool DestroyWindow(WindowHandle window) override {
    return ::DestroyWindow(Hwnd(window)) != FALSE;
  }

  intptr_t DefWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam,
                         intptr_t lParam) override {
    return ::DefWindowProcA(Hwnd(window), message, wParam, lParam);
  }

  intptr_t SendMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                       intptr_t lParam) override {
    return ::SendMessageA(Hwnd(window), message, wParam, lParam);
  }

  void PostQuitMessage(int32_t exitCode) override { ::PostQuitMessage(exitCode); }

  bool SetWindowText(WindowHandle window, const char* text) override {
    return ::SetWindowTextA(Hwnd(window), text) != FALSE;
  }

  std::string GetWindowText(WindowHandle window) override {
    const int length = ::GetWindowTextLengthA(Hwnd(window));
    std::vector<char> buffer(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
    const int copied = ::GetWindowTextA(Hwnd(window), buffer.data(), static_cast<int>(buffer.size()));
    return std::string(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
  }

  bool SetDlgItemText(WindowHandle dialog, int32_t id, const char* text) override {
    return ::SetDlgItemTextA(Hwnd(dialog), id, text) != FALSE;
  }

  int32_t GetDlgItemTextLength(WindowHandle dialog, int32_t id) override {
    HWND item = Item(dialog, id);
    return item != nullptr ? ::GetWindowTextLengthA(item) : -1;
  }

  bool GetDlgItemText(WindowHandle dialog, int32_t id, std::string& text,
                      size_t maxCount) override {
    text.clear();
    if (maxCount == 0 || Item(dialog, id) == nullptr) return false;
    std::vector<char> buffer(maxCount, '\0');
    const UINT copied =
        ::GetDlgItemTextA(Hwnd(dialog), id, buffer.data(), static_cast<int>(maxCount));
    text.assign(buffer.data(), copied);
    return true;
  }

  bool EnableDlgItem(WindowHandle dialog, int32_t id, bool enable) override {
    HWND item = Item(dialog, id);
    if (item == nullptr) return false;
    ::EnableWindow(item, enable ? TRUE : FALSE);
    return true;
  }

  bool IsDlgItemEnabled(WindowHandle dialog, int32_t id) override {
    HWND item = Item(dialog, id);
    return item != nullptr && ::IsWindowEnabled(item) != FALSE;
  }

  bool SetFocus(WindowHandle dialog, int32_t id) override {
    HWND item = Item(dialog, id);
    return item != nullptr && ::SetFocus(item) != nullptr;
  }

  int32_t GetDlgCtrlID(WindowHandle control) override { return ::GetDlgCtrlID(Hwnd(control)); }

  void EditSetSel(WindowHandle dialog, int32_t id, int32_t start, int32_t end) override {
    SendItem(dialog, id, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
  }

  void EditReplaceSel(WindowHandle dialog, int32_t id, const char* text, bool canUndo) override {
    SendItem(dialog, id, EM_REPLACESEL, canUndo ? TRUE : FALSE, reinterpret_cast<LPARAM>(text));
  }

  void EditScrollCaret(WindowHandle dialog, int32_t id) override {
    SendItem(dialog, id, EM_SCROLLCARET, 0, 0);
  }

  void EditSetLimitText(WindowHandle dialog, int32_t id, uint32_t limit) override {
    SendItem(dialog, id, EM_SETLIMITTEXT, limit, 0);
  }

  int32_t ComboInsertString(WindowHandle dialog, int32_t id, int32_t index,
                            const char* text) override {
    return static_cast<int32_t>(SendItem(dialog, id, CB_INSERTSTRING, static_cast<WPARAM>(index),
                                         reinterpret_cast<LPARAM>(text)));
  }

  int32_t ComboSetCurSel(WindowHandle dialog, int32_t id, int32_t index) override {
    return static_cast<int32_t>(SendItem(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0));
  }

  int32_t ComboGetCurSel(WindowHandle dialog, int32_t id) override {
    return static_cast<int32_t>(SendItem(dialog, id, CB_GETCURSEL, 0, 0));
  }

  int32_t ComboSetItemData(WindowHandle dialog, int32_t id, int32_t index,
                           intptr_t data) override {
    return static_cast<int32_t>(
        SendItem(dialog, id, CB_SETITEMDATA, static_cast<WPARAM>(index), data));
  }

  intptr_t ComboGetItemData(WindowHandle dialog, int32_t id, int32_t index) override {
    return SendItem(dialog, id, CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
  }

  int32_t ComboGetLBText(WindowHandle dialog, int32_t id, int32_t index,
                         std::string& text) override {
    text.clear();
    const LRESULT length = SendItem(dialog, id, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) return CB_ERR;
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    const LRESULT copied = SendItem(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                    reinterpret_cast<LPARAM>(buffer.data()));
    if (copied == CB_ERR) return CB_ERR;
    text.assign(buffer.data(), static_cast<size_t>(copied));
    return static_cast<int32_t>(copied);
  }

  int32_t ComboGetCount(WindowHandle dialog, int32_t id) override {
    return static_cast<int32_t>(SendItem(dialog, id, CB_GETCOUNT, 0, 0));
  }

  void ComboResetContent(WindowHandle dialog, int32_t id) override {
    SendItem(dialog, id, CB_RESETCONTENT, 0, 0);
  }

  MenuHandle GetSystemMenu(WindowHandle window) override {
    return ::GetSystemMenu(Hwnd(window), FALSE);
  }

  bool AppendMenu(MenuHandle menu, uint32_t flags, uintptr_t id, const char* text) override {
    return ::AppendMenuA(static_cast<HMENU>(menu), flags, id, text) != FALSE;
  }

  std::string LoadString(uint32_t id) override {
    char buffer[1024] = {};
    const int length = ::LoadStringA(::GetModuleHandleA(nullptr), id, buffer, sizeof(buffer));
    return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
  }

  IconHandle LoadIcon(int32_t id) override {
    return ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
  }

  void SetIcon(WindowHandle window, IconHandle icon, bool big) override {
    ::SendMessageA(Hwnd(window), WM_SETICON, big ? ICON_BIG : ICON_SMALL,
                   reinterpret_cast<LPARAM>(icon));
  }

  bool IsIconic(WindowHandle window) override { return ::IsIconic(Hwnd(window)) != FALSE; }

  DeviceContext BeginPaint(WindowHandle window, PaintSession& session) override {
    auto* paint = new (session.storage) PAINTSTRUCT();
    session.dc = ::BeginPaint(Hwnd(window), paint);
    return session.dc;
  }

  void EndPaint(WindowHandle window, PaintSession& session) override {
    ::EndPaint(Hwnd(window), reinterpret_cast<PAINTSTRUCT*>(session.storage));
  }

  int32_t GetSystemMetrics(int32_t index) override { return ::GetSystemMetrics(index); }

  bool GetClientRect(WindowHandle window, ClientRect& rect) override {
    RECT client = {};
    if (!::GetClientRect(Hwnd(window), &client)) return false;
    rect.left = client.left;
    rect.top = client.top;
    rect.right = client.right;
    rect.bottom = client.bottom;
    return true;
  }

  bool DrawIcon(DeviceContext dc, int32_t x, int32_t y, IconHandle icon) override {
    return ::DrawIcon(static_cast<HDC>(dc), x, y, static_cast<HICON>(icon)) != FALSE;
  }

  uint32_t SetTextColor(DeviceContext dc, uint32_t colour) override {
    return ::SetTextColor(static_cast<HDC>(dc), colour);
  }

  // A close among the messages reaches the dialog itself.
  void PumpPaint() override {
    MSG msg;
    // A window that does not validate its area would be handed WM_PAINT forever.
    for (int i = 0; i < 256 && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
      if (msg.message == WM_QUIT) {
        ::PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      ServeWhileBusy(msg);
    }
  }

  void WaitServing(EventHandle done) override {
    bool quit = false;
    int quitCode = 0;
    HANDLE event = static_cast<HANDLE>(done);
    for (;;) {
      const DWORD woken = ::MsgWaitForMultipleObjects(1, &event, FALSE, INFINITE, QS_ALLINPUT);
      if (woken != WAIT_OBJECT_0 + 1) {
        // The call has returned (or the wait failed: then wait without serving).
        if (woken != WAIT_OBJECT_0) ::WaitForSingleObject(event, INFINITE);
        break;
      }
      MSG msg;
      for (int i = 0; i < 256 && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT) {
          quit = true;
          quitCode = static_cast<int>(msg.wParam);
          continue;
        }
        ServeWhileBusy(msg);
      }
    }
    // The modal loop is to see the quit message once the command has ended.
    if (quit) ::PostQuitMessage(quitCode);
  }

 private:
  static void ServeWhileBusy(MSG& msg) {
    switch (msg.message) {
      case WM_KEYDOWN:
        // Paging scrolls the view and leaves the caret where the report goes on.
        if (msg.wParam == VK_PRIOR || msg.wParam == VK_NEXT) {
          ::SendMessageA(msg.hwnd, WM_VSCROLL, msg.wParam == VK_PRIOR ? SB_PAGEUP : SB_PAGEDOWN, 0);
        }
        return;
      case WM_SYSKEYDOWN:
        if (msg.wParam == VK_F4) ::DispatchMessageA(&msg);
        return;
      case WM_MOUSEMOVE:
      case WM_MOUSEWHEEL:
      case WM_NCMOUSEMOVE:
      case WM_NCLBUTTONUP:
        ::DispatchMessageA(&msg);
        return;
      case WM_NCLBUTTONDOWN:
      case WM_NCLBUTTONDBLCLK:
        switch (msg.wParam) {
          case HTCLOSE:
          case HTCAPTION:
          case HTMINBUTTON:
          case HTMAXBUTTON:
          case HTVSCROLL:
          case HTHSCROLL:
            ::DispatchMessageA(&msg);
            return;
          default:
            return;
        }
      case WM_SYSCOMMAND:
        if ((msg.wParam & 0xFFF0) == SC_CLOSE ||
            CDialog::WindowArrangement(static_cast<uint32_t>(msg.wParam))) {
          ::DispatchMessageA(&msg);
        }
        return;
      case WM_COMMAND:
        return;
      default:
        if ((msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) ||
            (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) ||
            (msg.message >= WM_NCMOUSEMOVE && msg.message <= WM_NCMBUTTONDBLCLK)) {
          return;
        }
        // Paints, timers, and the close message, which the dialog holds back.
        ::DispatchMessageA(&msg);
        return;
    }
  }
};

}  // namespace

IDialogBackend& Win32Dialogs() {
  static CWin32Dialogs dialogs;
  return dialogs;
}
