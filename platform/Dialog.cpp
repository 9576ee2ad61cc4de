#include "platform/Dialog.h"

#include "platform/Platform.h"

CDialog* CDialog::s_innermost = nullptr;
int CDialog::s_painting = 0;
CDialog* CDialog::s_mainWindow = nullptr;

CDialog::CDialog(int32_t templateId, CDialog* parent)
    : m_templateId(templateId), m_parent(parent) {}

CDialog::~CDialog() {
  if (s_mainWindow == this) s_mainWindow = nullptr;
}

WindowHandle CDialog::MainOwner() {
  if (s_mainWindow == nullptr || s_mainWindow == this || s_mainWindow->Handle() == nullptr) return nullptr;
  s_mainWindow->OnOwnedWindowOpening();
  return s_mainWindow->Handle();
}

IDialogBackend& CDialog::Backend() { return *GetPlatform().dialogs; }

intptr_t CDialog::DoModal() {
  IDialogBackend* backend = GetPlatform().dialogs;
  if (backend == nullptr) return -1;
  // A dialog made without a parent is owned by the main window, as the usual
  // framework does: the main window is disabled while it is open, so it can
  // neither cover it nor take commands, and the dialog opens over it.
  WindowHandle owner = MainOwner();
  WindowHandle parent = m_parent != nullptr ? m_parent->Handle() : owner;
  CDialog* outer = s_innermost;
  s_innermost = this;
  const intptr_t result = backend->DoModal(*this, m_templateId, parent);
  s_innermost = outer;
  return result;
}

void CDialog::KeepPainting() {
  IDialogBackend* backend = GetPlatform().dialogs;
  if (backend == nullptr) return;
  ++s_painting;
  backend->PumpPaint();
  --s_painting;
}

void CDialog::WaitServing(EventHandle done) {
  IDialogBackend* backend = GetPlatform().dialogs;
  if (backend == nullptr) return;
  ++s_painting;
  backend->WaitServing(done);
  --s_painting;
}

bool CDialog::WindowArrangement(uint32_t sysCommand) {
  switch (sysCommand & 0xFFF0) {
    case kScSize:
    case kScMove:
    case kScMinimize:
    case kScMaximize:
    case kScRestore:
      return true;
    default:
      return false;
  }
}

intptr_t CDialog::HandleMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                                intptr_t lParam) {
  if (message == kWmInitDialog) m_hWnd = window;
  if (m_hWnd == nullptr) return 0;
  if (message == kWmShowWindow) m_shown = wParam != 0;
  intptr_t result = Dispatch(message, wParam, lParam);
  // Set up (which may have asked the instruments), the dialog waits for the user.
  if (message == kWmInitDialog && s_mainWindow != nullptr && s_mainWindow != this) {
    s_mainWindow->OnOwnedWindowOpening();
  }
  if (message == kWmNcDestroy) {
    m_hWnd = nullptr;
    m_shown = false;
    // A modal loop does not notice its window being destroyed; the quit message ends it.
    if (m_isMainWindow) Backend().PostQuitMessage(0);
  }
  return result;
}

intptr_t CDialog::Dispatch(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  switch (message) {
    case kWmInitDialog:
      return OnInitDialog() ? 1 : 0;
    case kWmCommand: {
      // One command at a time: none while a running one lets the window paint,
      // none for a dialog that a modal one covers.
      if (Painting() || (s_innermost != nullptr && s_innermost != this)) return 1;
      const int32_t id = LowWord(wParam);
      const uint16_t code = HighWord(wParam);
      // Code 1 from no control is an accelerator; from a control it is a notification.
      const bool fromControl = lParam != 0;
      if (code == kBnClicked || (code == 1 && !fromControl)) {
        if (OnCommand(id)) return 1;
        if (id == kIdOk) {
          OnOK();
          return 1;
        }
        if (id == kIdCancel) {
          OnCancel();
          return 1;
        }
        return 0;
      }
      return OnControlNotify(id, code) ? 1 : 0;
    }
    case kWmSysCommand:
      // Close goes on to the close message, which the dialog can hold back;
      // moving and minimising are the window's own and harmless.
      if (Painting() && (wParam & 0xFFF0) != kScClose) {
        return WindowArrangement(static_cast<uint32_t>(wParam)) ? 0 : 1;
      }
      return OnSysCommand(static_cast<uint32_t>(wParam), lParam) ? 1 : 0;
    case kWmShowWindow:
      return OnShowWindow(wParam != 0, static_cast<uint32_t>(lParam)) ? 1 : 0;
    case kWmPaint:
      return OnPaint() ? 1 : 0;
    case kWmQueryDragIcon:
      return OnQueryDragIcon();
    case kWmClose:
      return OnClose() ? 1 : 0;
    case kWmCtlColorMsgBox:
    case kWmCtlColorEdit:
    case kWmCtlColorListBox:
    case kWmCtlColorBtn:
    case kWmCtlColorDlg:
    case kWmCtlColorScrollBar:
    case kWmCtlColorStatic: {
      auto* control = reinterpret_cast<WindowHandle>(lParam);
      const int32_t controlId = control != nullptr ? Backend().GetDlgCtrlID(control) : 0;
      return OnCtlColor(reinterpret_cast<DeviceContext>(wParam), controlId, message, wParam,
                        lParam);
    }
    case kWmDestroy:
      OnDestroy();
      return 0;
    default:
      return 0;
  }
}

bool CDialog::OnInitDialog() { return true; }
void CDialog::OnOK() { EndDialog(kIdOk); }
void CDialog::OnCancel() { EndDialog(kIdCancel); }
bool CDialog::OnCommand(int32_t) { return false; }
bool CDialog::OnControlNotify(int32_t, uint16_t) { return false; }
bool CDialog::OnSysCommand(uint32_t, intptr_t) { return false; }
bool CDialog::OnShowWindow(bool, uint32_t) { return false; }
bool CDialog::OnPaint() { return false; }
intptr_t CDialog::OnQueryDragIcon() { return 0; }
bool CDialog::OnClose() { return false; }
intptr_t CDialog::OnCtlColor(DeviceContext, int32_t, uint32_t, uintptr_t, intptr_t) { return 0; }
void CDialog::OnDestroy() {}
void CDialog::OnOwnedWindowOpening() {}

intptr_t CDialog::DefaultProcessing(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (m_hWnd == nullptr) return 0;
  return Backend().DefWindowProc(m_hWnd, message, wParam, lParam);
}

bool CDialog::SetWindowText(const char* text) {
  return m_hWnd != nullptr && Backend().SetWindowText(m_hWnd, text);
}

std::string CDialog::GetWindowText() {
  return m_hWnd != nullptr ? Backend().GetWindowText(m_hWnd) : std::string();
}

bool CDialog::SetDlgItemText(int32_t id, const char* text) {
  return m_hWnd != nullptr && Backend().SetDlgItemText(m_hWnd, id, text);
}

std::string CDialog::GetDlgItemText(int32_t id) {
  std::string text;
  const int32_t length = GetDlgItemTextLength(id);
  if (length < 0) return text;
  Backend().GetDlgItemText(m_hWnd, id, text, static_cast<size_t>(length) + 1);
  return text;
}

int32_t CDialog::GetDlgItemTextLength(int32_t id) {
  return m_hWnd != nullptr ? Backend().GetDlgItemTextLength(m_hWnd, id) : -1;
}

bool CDialog::EnableDlgItem(int32_t id, bool enable) {
  return m_hWnd != nullptr && Backend().EnableDlgItem(m_hWnd, id, enable);
}

bool CDialog::IsDlgItemEnabled(int32_t id) {
  return m_hWnd != nullptr && Backend().IsDlgItemEnabled(m_hWnd, id);
}

bool CDialog::SetFocus(int32_t id) { return m_hWnd != nullptr && Backend().SetFocus(m_hWnd, id); }

void CDialog::EditSetSel(int32_t id, int32_t start, int32_t end) {
  if (m_hWnd != nullptr) Backend().EditSetSel(m_hWnd, id, start, end);
}

void CDialog::EditReplaceSel(int32_t id, const char* text, bool canUndo) {
  if (m_hWnd != nullptr) Backend().EditReplaceSel(m_hWnd, id, text, canUndo);
}

void CDialog::EditScrollCaret(int32_t id) {
  if (m_hWnd != nullptr) Backend().EditScrollCaret(m_hWnd, id);
}

void CDialog::EditSetLimitText(int32_t id, uint32_t limit) {
  if (m_hWnd != nullptr) Backend().EditSetLimitText(m_hWnd, id, limit);
}

int32_t CDialog::ComboInsertString(int32_t id, int32_t index, const char* text) {
  return m_hWnd != nullptr ? Backend().ComboInsertString(m_hWnd, id, index, text) : kCbErr;
}

int32_t CDialog::ComboSetCurSel(int32_t id, int32_t index) {
  return m_hWnd != nullptr ? Backend().ComboSetCurSel(m_hWnd, id, index) : kCbErr;
}

int32_t CDialog::ComboGetCurSel(int32_t id) {
  return m_hWnd != nullptr ? Backend().ComboGetCurSel(m_hWnd, id) : kCbErr;
}

int32_t CDialog::ComboSetItemData(int32_t id, int32_t index, intptr_t data) {
  return m_hWnd != nullptr ? Backend().ComboSetItemData(m_hWnd, id, index, data) : kCbErr;
}

intptr_t CDialog::ComboGetItemData(int32_t id, int32_t index) {
  return m_hWnd != nullptr ? Backend().ComboGetItemData(m_hWnd, id, index) : kCbErr;
}

std::string CDialog::ComboGetLBText(int32_t id, int32_t index) {
  std::string text;
  if (m_hWnd == nullptr || Backend().ComboGetLBText(m_hWnd, id, index, text) == kCbErr) {
    text.clear();
  }
  return text;
}

int32_t CDialog::ComboGetCount(int32_t id) {
  return m_hWnd != nullptr ? Backend().ComboGetCount(m_hWnd, id) : kCbErr;
}

void CDialog::ComboResetContent(int32_t id) {
  if (m_hWnd != nullptr) Backend().ComboResetContent(m_hWnd, id);
}

int32_t CDialog::MessageBox(const char* text, const char* caption, uint32_t type) {
  IShell* shell = GetPlatform().shell;
  // Owned by the main window: the box of a dialog still being set up would
  // otherwise leave the main window enabled under it. A dialog on the screen
  // that takes commands owns its boxes itself, so that it takes none while one is open.
  WindowHandle owner = MainOwner();
  if (m_shown && s_innermost == this) owner = m_hWnd;
  return shell != nullptr ? shell->MessageBox(owner != nullptr ? owner : m_hWnd, text, caption, type) : 0;
}

bool CDialog::EndDialog(intptr_t result) {
  return m_hWnd != nullptr && Backend().EndDialog(m_hWnd, result);
}

bool CDialog::DestroyWindow() { return m_hWnd != nullptr && Backend().DestroyWindow(m_hWnd); }
