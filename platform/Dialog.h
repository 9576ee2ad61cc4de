#pragma once
// Modal dialogs from resource templates. CDialog holds the dispatch of messages to
// handlers and the control operations by id; IDialogBackend is the window system
// underneath (the real one in platform/win32/, an in-memory one for tests).
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Shell.h"
#include "platform/Threads.h"

using MenuHandle = void*;
using IconHandle = void*;
using DeviceContext = void*;

// Message numbers, notification codes and flags: the platform's values, so the
// dispatch below is the same code on every backend.
constexpr uint32_t kWmDestroy = 0x0002;
constexpr uint32_t kWmPaint = 0x000F;
constexpr uint32_t kWmClose = 0x0010;
constexpr uint32_t kWmShowWindow = 0x0018;
constexpr uint32_t kWmIconEraseBkgnd = 0x0027;
constexpr uint32_t kWmQueryDragIcon = 0x0037;
constexpr uint32_t kWmSetIcon = 0x0080;
constexpr uint32_t kWmNcDestroy = 0x0082;
constexpr uint32_t kWmInitDialog = 0x0110;
constexpr uint32_t kWmCommand = 0x0111;
constexpr uint32_t kWmSysCommand = 0x0112;
constexpr uint32_t kWmCtlColorMsgBox = 0x0132;
constexpr uint32_t kWmCtlColorEdit = 0x0133;
constexpr uint32_t kWmCtlColorListBox = 0x0134;
constexpr uint32_t kWmCtlColorBtn = 0x0135;
constexpr uint32_t kWmCtlColorDlg = 0x0136;
constexpr uint32_t kWmCtlColorScrollBar = 0x0137;
constexpr uint32_t kWmCtlColorStatic = 0x0138;

constexpr int32_t kIdOk = 1;
constexpr int32_t kIdCancel = 2;

constexpr uint16_t kBnClicked = 0;
constexpr uint16_t kCbnSelChange = 1;
constexpr uint16_t kCbnSetFocus = 3;
constexpr uint16_t kCbnKillFocus = 4;
// Buttons send these only with the BS_NOTIFY style.
constexpr uint16_t kBnSetFocus = 6;
constexpr uint16_t kBnKillFocus = 7;
constexpr uint16_t kEnSetFocus = 0x0100;
constexpr uint16_t kEnKillFocus = 0x0200;
constexpr uint16_t kEnMaxText = 0x0501;

constexpr int32_t kCbErr = -1;

constexpr uint32_t kScSize = 0xF000;
constexpr uint32_t kScMove = 0xF010;
constexpr uint32_t kScMinimize = 0xF020;
constexpr uint32_t kScMaximize = 0xF030;
constexpr uint32_t kScClose = 0xF060;
constexpr uint32_t kScRestore = 0xF120;

constexpr uint32_t kMfString = 0x0000;
constexpr uint32_t kMfSeparator = 0x0800;

constexpr int32_t kSmCxIcon = 11;
constexpr int32_t kSmCyIcon = 12;

// The low and high 16 bits of a message parameter, and the two put together.
constexpr uint16_t LowWord(uintptr_t value) { return static_cast<uint16_t>(value & 0xFFFF); }
constexpr uint16_t HighWord(uintptr_t value) {
  return static_cast<uint16_t>((value >> 16) & 0xFFFF);
}
constexpr uintptr_t MakeWParam(uint16_t low, uint16_t high) {
  return static_cast<uintptr_t>(low) | (static_cast<uintptr_t>(high) << 16);
}

struct ClientRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

// What the platform keeps between BeginPaint and EndPaint.
struct PaintSession {
  DeviceContext dc = nullptr;
  alignas(8) unsigned char storage[128] = {};
};

class CDialog;

class IDialogBackend {
 public:
  virtual ~IDialogBackend() = default;

  // The visual-styles controls for every dialog of the program.
  virtual bool InitCommonControls() = 0;

  // Runs the dialog from its template until EndDialog or DestroyWindow. The object
  // gets every message from WM_INITDIALOG to WM_NCDESTROY through HandleMessage.
  // Returns the EndDialog result, or -1 when the dialog could not be created.
  virtual intptr_t DoModal(CDialog& dialog, int32_t templateId, WindowHandle parent) = 0;
  virtual bool EndDialog(WindowHandle dialog, intptr_t result) = 0;
  virtual bool DestroyWindow(WindowHandle window) = 0;
  // The platform's processing of a message the dialog has not consumed.
  virtual intptr_t DefWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam,
                                 intptr_t lParam) = 0;
  virtual intptr_t SendMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                               intptr_t lParam) = 0;
  // Ends every modal loop of the thread, and with them the program.
  virtual void PostQuitMessage(int32_t exitCode) = 0;

  // Caption of the dialog.
  virtual bool SetWindowText(WindowHandle window, const char* text) = 0;
  virtual std::string GetWindowText(WindowHandle window) = 0;

  // Controls by id.
  virtual bool SetDlgItemText(WindowHandle dialog, int32_t id, const char* text) = 0;
  // Length of the control's text; -1 when there is no such control.
  virtual int32_t GetDlgItemTextLength(WindowHandle dialog, int32_t id) = 0;
  // At most maxCount - 1 characters.
  virtual bool GetDlgItemText(WindowHandle dialog, int32_t id, std::string& text,
                              size_t maxCount) = 0;
  virtual bool EnableDlgItem(WindowHandle dialog, int32_t id, bool enable) = 0;
  virtual bool IsDlgItemEnabled(WindowHandle dialog, int32_t id) = 0;
  virtual bool SetFocus(WindowHandle dialog, int32_t id) = 0;
  // Id of the control that a control handle stands for (lParam of notifications).
  virtual int32_t GetDlgCtrlID(WindowHandle control) = 0;

  // Edit controls (EM_SETSEL, EM_REPLACESEL, EM_SCROLLCARET, EM_SETLIMITTEXT).
  virtual void EditSetSel(WindowHandle dialog, int32_t id, int32_t start, int32_t end) = 0;
  virtual void EditReplaceSel(WindowHandle dialog, int32_t id, const char* text,
                              bool canUndo) = 0;
  virtual void EditScrollCaret(WindowHandle dialog, int32_t id) = 0;
  // 0 lifts the limit to the platform's maximum.
  virtual void EditSetLimitText(WindowHandle dialog, int32_t id, uint32_t limit) = 0;

  // Combo boxes (CB_...); results as the platform gives them, kCbErr on failure.
  virtual int32_t ComboInsertString(WindowHandle dialog, int32_t id, int32_t index,
                                    const char* text) = 0;
  virtual int32_t ComboSetCurSel(WindowHandle dialog, int32_t id, int32_t index) = 0;
  virtual int32_t ComboGetCurSel(WindowHandle dialog, int32_t id) = 0;
  virtual int32_t ComboSetItemData(WindowHandle dialog, int32_t id, int32_t index,
                                   intptr_t data) = 0;
  virtual intptr_t ComboGetItemData(WindowHandle dialog, int32_t id, int32_t index) = 0;
  // Length of the entry's text, or kCbErr.
  virtual int32_t ComboGetLBText(WindowHandle dialog, int32_t id, int32_t index,
                                 std::string& text) = 0;
  virtual int32_t ComboGetCount(WindowHandle dialog, int32_t id) = 0;
  virtual void ComboResetContent(WindowHandle dialog, int32_t id) = 0;

  // Null when the window has no system menu.
  virtual MenuHandle GetSystemMenu(WindowHandle window) = 0;
  virtual bool AppendMenu(MenuHandle menu, uint32_t flags, uintptr_t id, const char* text) = 0;

  // Resources of the program.
  virtual std::string LoadString(uint32_t id) = 0;
  virtual IconHandle LoadIcon(int32_t id) = 0;
  virtual void SetIcon(WindowHandle window, IconHandle icon, bool big) = 0;

  // Painting.
  virtual bool IsIconic(WindowHandle window) = 0;
  virtual DeviceContext BeginPaint(WindowHandle window, PaintSession& session) = 0;
  virtual void EndPaint(WindowHandle window, PaintSession& session) = 0;
  virtual int32_t GetSystemMetrics(int32_t index) = 0;
  virtual bool GetClientRect(WindowHandle window, ClientRect& rect) = 0;
  virtual bool DrawIcon(DeviceContext dc, int32_t x, int32_t y, IconHandle icon) = 0;
  // Returns the previous colour (0x00bbggrr).
  virtual uint32_t SetTextColor(DeviceContext dc, uint32_t colour) = 0;

  // While a command runs: lets the thread's windows paint what is invalid, and
  // drops the keyboard, mouse and command messages queued for them meanwhile.
  // A close (close box, Alt+F4, the system menu's Close) reaches its window as
  // the close message, which the window holds back until the command has ended.
  virtual void PumpPaint() = 0;
  // While a command waits for the instrument thread: a message wait until done
  // is signalled, serving what PumpPaint serves, the report window's scrolling
  // (scroll bar, wheel, Page Up/Down) and the moving and minimising of windows;
  // other input and commands are dropped.
  virtual void WaitServing(EventHandle done) = 0;
};

class CDialog {
 public:
  explicit CDialog(int32_t templateId, CDialog* parent = nullptr);
  virtual ~CDialog();
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;

  // Runs the dialog modally; the EndDialog result, or -1 when it could not be shown.
  intptr_t DoModal();

  // Every message of the dialog window, from WM_INITDIALOG (which binds the
  // window to the object) to WM_NCDESTROY (which releases it). Returns what the
  // dialog procedure returns: 0 for a message left to the platform.
  intptr_t HandleMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                         intptr_t lParam);

  WindowHandle Handle() const { return m_hWnd; }
  int32_t TemplateId() const { return m_templateId; }

  // The program ends when the main window is destroyed, however that happens.
  // It owns every dialog made without a parent and every message box.
  void MakeMainWindow() {
    m_isMainWindow = true;
    s_mainWindow = this;
  }
  bool IsMainWindow() const { return m_isMainWindow; }

  // Control operations by id, for the dialog's handlers and for its collaborators.
  bool SetWindowText(const char* text);
  std::string GetWindowText();
  bool SetDlgItemText(int32_t id, const char* text);
  // The control's whole text.
  std::string GetDlgItemText(int32_t id);
  int32_t GetDlgItemTextLength(int32_t id);
  bool EnableDlgItem(int32_t id, bool enable);
  bool IsDlgItemEnabled(int32_t id);
  bool SetFocus(int32_t id);

  void EditSetSel(int32_t id, int32_t start, int32_t end);
  void EditReplaceSel(int32_t id, const char* text, bool canUndo);
  void EditScrollCaret(int32_t id);
  void EditSetLimitText(int32_t id, uint32_t limit);

  int32_t ComboInsertString(int32_t id, int32_t index, const char* text);
  int32_t ComboSetCurSel(int32_t id, int32_t index);
  int32_t ComboGetCurSel(int32_t id);
  int32_t ComboSetItemData(int32_t id, int32_t index, intptr_t data);
  intptr_t ComboGetItemData(int32_t id, int32_t index);
  // The entry's text; empty for a position that holds none.
  std::string ComboGetLBText(int32_t id, int32_t index);
  int32_t ComboGetCount(int32_t id);
  void ComboResetContent(int32_t id);

  int32_t MessageBox(const char* text, const char* caption, uint32_t type);

  bool EndDialog(intptr_t result);
  bool DestroyWindow();

  // A running command's point to let the windows paint. Commands that arrive
  // then are ignored: a command never starts inside another.
  void KeepPainting();
  // The same for as long as a call on the instrument thread runs.
  void WaitServing(EventHandle done);
  static bool Painting() { return s_painting > 0; }
  // What a window may still do while a command runs: move, size, minimise, restore.
  static bool WindowArrangement(uint32_t sysCommand);

 protected:
  // Handlers. Those returning bool return whether they consumed the message;
  // false leaves it to the platform.
  virtual bool OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  // Menu items, accelerators and button clicks.
  virtual bool OnCommand(int32_t id);
  // Any other notification of a control.
  virtual bool OnControlNotify(int32_t id, uint16_t code);
  virtual bool OnSysCommand(uint32_t id, intptr_t lParam);
  virtual bool OnShowWindow(bool show, uint32_t status);
  virtual bool OnPaint();
  // 0 lets the platform choose the icon.
  virtual intptr_t OnQueryDragIcon();
  virtual bool OnClose();
  // The brush for the control; 0 leaves colouring to the platform. message is
  // the WM_CTLCOLOR... message, for handlers that call DefaultProcessing.
  virtual intptr_t OnCtlColor(DeviceContext dc, int32_t controlId, uint32_t message,
                              uintptr_t wParam, intptr_t lParam);
  virtual void OnDestroy();
  // The main window's: a dialog or message box it owns is about to open, or a
  // dialog has been set up and waits for the user.
  virtual void OnOwnedWindowOpening();

  intptr_t DefaultProcessing(uint32_t message, uintptr_t wParam, intptr_t lParam);
  IDialogBackend& Backend();

 private:
  intptr_t Dispatch(uint32_t message, uintptr_t wParam, intptr_t lParam);
  // The main window's handle for a window of another dialog, null otherwise.
  WindowHandle MainOwner();

  // The innermost modal dialog takes commands; those under it do not.
  static CDialog* s_innermost;
  static int s_painting;
  static CDialog* s_mainWindow;

  int32_t m_templateId;
  CDialog* m_parent;
  WindowHandle m_hWnd = nullptr;
  bool m_isMainWindow = false;
  bool m_shown = false;
};
