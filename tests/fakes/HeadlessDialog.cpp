#include "tests/fakes/HeadlessDialog.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <utility>

#include "platform/Platform.h"

namespace {

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%04x", value);
  return text;
}

int32_t Length(const HeadlessControl& control) {
  return static_cast<int32_t>(control.text.size());
}

const char* KindName(HeadlessControlKind kind) {
  switch (kind) {
    case HeadlessControlKind::Edit:
      return "edit";
    case HeadlessControlKind::Combo:
      return "combo";
    case HeadlessControlKind::Button:
      return "button";
    case HeadlessControlKind::Static:
      return "static";
  }
  return "control";
}

}  // namespace

HeadlessControl* HeadlessWindow::Control(int32_t id) {
  for (auto& control : m_controls) {
    if (control->id == id) return control.get();
  }
  return nullptr;
}

const std::string& HeadlessWindow::Text(int32_t id) {
  static const std::string none;
  HeadlessControl* control = Control(id);
  return control != nullptr ? control->text : none;
}

CHeadlessDialogBackend::CHeadlessDialogBackend() = default;
CHeadlessDialogBackend::~CHeadlessDialogBackend() = default;

void CHeadlessDialogBackend::DefineTemplate(int32_t id, HeadlessTemplate templ) {
  m_templates[id] = std::move(templ);
}

void CHeadlessDialogBackend::DefineString(uint32_t id, std::string text) {
  m_strings[id] = std::move(text);
}

void CHeadlessDialogBackend::DefineIcon(int32_t id) { m_icons[id] = true; }

void CHeadlessDialogBackend::QueueScript(int32_t templateId, std::vector<HeadlessStep> steps) {
  m_scripts[templateId].push_back(std::move(steps));
}

uint32_t CHeadlessDialogBackend::TextColour(DeviceContext dc) const {
  auto found = m_textColours.find(dc);
  return found != m_textColours.end() ? found->second : 0;
}

std::vector<HeadlessWindow*> CHeadlessDialogBackend::Windows() const {
  std::vector<HeadlessWindow*> windows;
  for (const auto& window : m_windows) windows.push_back(window.get());
  return windows;
}

HeadlessWindow* CHeadlessDialogBackend::LastWindow(int32_t templateId) const {
  for (auto it = m_windows.rbegin(); it != m_windows.rend(); ++it) {
    if ((*it)->m_templateId == templateId) return it->get();
  }
  return nullptr;
}

void CHeadlessDialogBackend::Log(std::string entry) { m_journal->push_back(std::move(entry)); }

void CHeadlessDialogBackend::Fault(std::string fault) { m_faults.push_back(std::move(fault)); }

HeadlessWindow* CHeadlessDialogBackend::Find(WindowHandle handle, const char* operation) {
  for (auto& window : m_windows) {
    if (window.get() == handle) {
      if (!window->m_alive) {
        Fault(std::string(operation) + ": destroyed window");
        return nullptr;
      }
      return window.get();
    }
  }
  Fault(std::string(operation) + ": unknown window");
  return nullptr;
}

HeadlessControl* CHeadlessDialogBackend::FindControl(WindowHandle dialog, int32_t id,
                                                     const char* operation) {
  HeadlessWindow* window = Find(dialog, operation);
  if (window == nullptr) return nullptr;
  HeadlessControl* control = window->Control(id);
  if (control == nullptr) {
    Fault(std::string(operation) + ": no control " + std::to_string(id) + " in dialog " +
          std::to_string(window->m_templateId));
  }
  return control;
}

HeadlessControl* CHeadlessDialogBackend::FindControl(WindowHandle dialog, int32_t id,
                                                     HeadlessControlKind kind,
                                                     const char* operation) {
  HeadlessControl* control = FindControl(dialog, id, operation);
  if (control != nullptr && control->kind != kind) {
    Fault(std::string(operation) + ": control " + std::to_string(id) + " is a " +
          KindName(control->kind));
    return nullptr;
  }
  return control;
}

intptr_t CHeadlessDialogBackend::Send(HeadlessWindow& window, uint32_t message, uintptr_t wParam,
                                      intptr_t lParam) {
  if (!window.m_alive || window.m_dialog == nullptr) {
    Fault("message " + Hex(message) + " to a destroyed window");
    return 0;
  }
  const intptr_t result = window.m_dialog->HandleMessage(&window, message, wParam, lParam);
  if (result != 0 || !window.m_alive) return result;
  // The dialog manager's own processing of what the dialog left alone.
  if (message == kWmClose) {
    Send(window, kWmCommand, MakeWParam(static_cast<uint16_t>(kIdCancel), kBnClicked), 0);
  } else if (message == kWmSysCommand && (wParam & 0xFFF0) == kScClose) {
    Send(window, kWmClose, 0, 0);
  }
  return result;
}

void CHeadlessDialogBackend::Command(HeadlessWindow& window, int32_t id) {
  Send(window, kWmCommand, MakeWParam(static_cast<uint16_t>(id), 0), 0);
}

void CHeadlessDialogBackend::SysCommand(HeadlessWindow& window, uint32_t command) {
  Send(window, kWmSysCommand, command, 0);
}

void CHeadlessDialogBackend::Close(HeadlessWindow& window) { Send(window, kWmClose, 0, 0); }

void CHeadlessDialogBackend::Click(HeadlessWindow& window, int32_t id) {
  HeadlessControl* control = FindControl(&window, id, HeadlessControlKind::Button, "Click");
  if (control == nullptr) return;
  if (!control->enabled) {
    Fault("Click: button " + std::to_string(id) + " is disabled");
    return;
  }
  NotifyDialog(window, *control, kBnClicked);
}

void CHeadlessDialogBackend::Select(HeadlessWindow& window, int32_t id, int32_t index) {
  HeadlessControl* control = FindControl(&window, id, HeadlessControlKind::Combo, "Select");
  if (control == nullptr) return;
  if (!control->enabled) {
    Fault("Select: combo " + std::to_string(id) + " is disabled");
    return;
  }
  if (ComboSetCurSel(&window, id, index) == kCbErr) {
    Fault("Select: combo " + std::to_string(id) + " has no entry " + std::to_string(index));
    return;
  }
  NotifyDialog(window, *control, kCbnSelChange);
}

void CHeadlessDialogBackend::Focus(HeadlessWindow& window, int32_t id) {
  if (FindControl(&window, id, "Focus") != nullptr) MoveFocus(window, id);
}

void CHeadlessDialogBackend::Notify(HeadlessWindow& window, int32_t id, uint16_t code) {
  HeadlessControl* control = FindControl(&window, id, "Notify");
  if (control != nullptr) NotifyDialog(window, *control, code);
}

intptr_t CHeadlessDialogBackend::CtlColor(HeadlessWindow& window, int32_t id, uint32_t message,
                                          DeviceContext dc) {
  HeadlessControl* control = FindControl(&window, id, "CtlColor");
  if (control == nullptr) return 0;
  return Send(window, message, reinterpret_cast<uintptr_t>(dc),
              reinterpret_cast<intptr_t>(control));
}

void CHeadlessDialogBackend::NotifyDialog(HeadlessWindow& window, HeadlessControl& control,
                                          uint16_t code) {
  Send(window, kWmCommand, MakeWParam(static_cast<uint16_t>(control.id), code),
       reinterpret_cast<intptr_t>(&control));
}

void CHeadlessDialogBackend::MoveFocus(HeadlessWindow& window, int32_t id) {
  Log("focus " + std::to_string(id));
  // Focusing the focused control changes nothing and notifies nobody.
  if (window.m_focusId == id) return;
  HeadlessControl* old = window.Control(window.m_focusId);
  window.m_focusId = id;
  if (old != nullptr) {
    if (old->kind == HeadlessControlKind::Edit) NotifyDialog(window, *old, kEnKillFocus);
    if (old->kind == HeadlessControlKind::Combo) NotifyDialog(window, *old, kCbnKillFocus);
    if (old->kind == HeadlessControlKind::Button && old->notify) {
      NotifyDialog(window, *old, kBnKillFocus);
    }
  }
  HeadlessControl* now = window.Control(id);
  if (now != nullptr && window.m_alive) {
    if (now->kind == HeadlessControlKind::Edit) NotifyDialog(window, *now, kEnSetFocus);
    if (now->kind == HeadlessControlKind::Combo) NotifyDialog(window, *now, kCbnSetFocus);
    if (now->kind == HeadlessControlKind::Button && now->notify) {
      NotifyDialog(window, *now, kBnSetFocus);
    }
  }
}

bool CHeadlessDialogBackend::InitCommonControls() {
  ++m_commonControlsInits;
  Log("initcommoncontrols");
  return true;
}

intptr_t CHeadlessDialogBackend::DoModal(CDialog& dialog, int32_t templateId,
                                         WindowHandle parent) {
  if (m_quit) return -1;
  auto templ = m_templates.find(templateId);
  if (templ == m_templates.end()) {
    Fault("DoModal: no template " + std::to_string(templateId));
    return -1;
  }
  if (parent != nullptr && Find(parent, "DoModal parent") == nullptr) return -1;

  m_windows.push_back(std::make_unique<HeadlessWindow>());
  HeadlessWindow& window = *m_windows.back();
  window.m_templateId = templateId;
  window.m_dialog = &dialog;
  window.m_parent = parent;
  window.m_caption = templ->second.caption;
  window.m_hasSystemMenu = templ->second.systemMenu;
  for (const HeadlessControlDef& def : templ->second.controls) {
    auto control = std::make_unique<HeadlessControl>();
    control->id = def.id;
    control->kind = def.kind;
    control->text = def.text;
    control->enabled = def.enabled;
    control->notify = def.notify;
    window.m_controls.push_back(std::move(control));
  }
  window.m_alive = true;
  Log("modal " + std::to_string(templateId));

  const intptr_t focusDefault =
      dialog.HandleMessage(&window, kWmInitDialog, 0, reinterpret_cast<intptr_t>(&dialog));
  if (focusDefault != 0 && window.m_alive && !window.m_ended && window.m_focusId == 0) {
    for (auto& control : window.m_controls) {
      if (control->kind != HeadlessControlKind::Static && control->enabled) {
        MoveFocus(window, control->id);
        break;
      }
    }
  }
  if (window.m_alive && !window.m_ended) {
    window.m_shown = true;
    Send(window, kWmShowWindow, 1, 0);
  }

  std::vector<HeadlessStep> script;
  auto queued = m_scripts.find(templateId);
  if (queued != m_scripts.end() && !queued->second.empty()) {
    script = std::move(queued->second.front());
    queued->second.pop_front();
  }
  for (HeadlessStep& step : script) {
    if (!window.m_alive || window.m_ended || m_quit) break;
    step(*this, window);
  }

  if (window.m_alive && !window.m_ended && !m_quit) ++m_abandoned;
  if (window.m_alive) {
    if (window.m_shown) {
      window.m_shown = false;
      Send(window, kWmShowWindow, 0, 0);
    }
    Destroy(window);
  }
  Log("modal-end " + std::to_string(templateId));
  return window.m_ended ? window.m_result : -1;
}

bool CHeadlessDialogBackend::EndDialog(WindowHandle dialog, intptr_t result) {
  HeadlessWindow* window = Find(dialog, "EndDialog");
  if (window == nullptr) return false;
  Log("enddialog " + std::to_string(window->m_templateId) + " " + std::to_string(result));
  window->m_ended = true;
  window->m_result = result;
  return true;
}

void CHeadlessDialogBackend::Destroy(HeadlessWindow& window) {
  Log("destroy " + std::to_string(window.m_templateId));
  window.m_dialog->HandleMessage(&window, kWmDestroy, 0, 0);
  window.m_dialog->HandleMessage(&window, kWmNcDestroy, 0, 0);
  window.m_alive = false;
}

bool CHeadlessDialogBackend::DestroyWindow(WindowHandle handle) {
  HeadlessWindow* window = Find(handle, "DestroyWindow");
  if (window == nullptr) return false;
  Destroy(*window);
  return true;
}

intptr_t CHeadlessDialogBackend::DefWindowProc(WindowHandle handle, uint32_t message,
                                               uintptr_t wParam, intptr_t lParam) {
  HeadlessWindow* window = Find(handle, "DefWindowProc");
  if (window == nullptr) return 0;
  Log("defwindowproc " + Hex(message));
  if (message >= kWmCtlColorMsgBox && message <= kWmCtlColorStatic) return m_defaultBrush;
  if (message == kWmClose) Destroy(*window);
  return 0;
}

intptr_t CHeadlessDialogBackend::SendMessage(WindowHandle handle, uint32_t message,
                                             uintptr_t wParam, intptr_t lParam) {
  HeadlessWindow* window = Find(handle, "SendMessage");
  if (window == nullptr) return 0;
  Log("sendmessage " + Hex(message));
  return window->m_dialog->HandleMessage(window, message, wParam, lParam);
}

void CHeadlessDialogBackend::PostQuitMessage(int32_t exitCode) {
  Log("postquit " + std::to_string(exitCode));
  m_quit = true;
}

bool CHeadlessDialogBackend::SetWindowText(WindowHandle handle, const char* text) {
  HeadlessWindow* window = Find(handle, "SetWindowText");
  if (window == nullptr) return false;
  window->m_caption = text;
  Log(std::string("caption ") + text);
  return true;
}

std::string CHeadlessDialogBackend::GetWindowText(WindowHandle handle) {
  HeadlessWindow* window = Find(handle, "GetWindowText");
  return window != nullptr ? window->m_caption : std::string();
}

bool CHeadlessDialogBackend::SetDlgItemText(WindowHandle dialog, int32_t id, const char* text) {
  HeadlessControl* control = FindControl(dialog, id, "SetDlgItemText");
  if (control == nullptr) return false;
  Log("settext " + std::to_string(id) + " " + text);
  if (control->kind == HeadlessControlKind::Combo) {
    // Only the edit part of a combo takes text; a drop-down list keeps its selection.
    control->text = text;
    return true;
  }
  control->text = text;
  control->selStart = 0;
  control->selEnd = 0;
  control->undoable = false;
  return true;
}

int32_t CHeadlessDialogBackend::GetDlgItemTextLength(WindowHandle dialog, int32_t id) {
  HeadlessControl* control = FindControl(dialog, id, "GetDlgItemTextLength");
  return control != nullptr ? Length(*control) : -1;
}

bool CHeadlessDialogBackend::GetDlgItemText(WindowHandle dialog, int32_t id, std::string& text,
                                            size_t maxCount) {
  text.clear();
  HeadlessControl* control = FindControl(dialog, id, "GetDlgItemText");
  if (control == nullptr || maxCount == 0) return false;
  text = control->text.substr(0, maxCount - 1);
  return true;
}

bool CHeadlessDialogBackend::EnableDlgItem(WindowHandle dialog, int32_t id, bool enable) {
  HeadlessControl* control = FindControl(dialog, id, "EnableDlgItem");
  if (control == nullptr) return false;
  Log("enable " + std::to_string(id) + (enable ? " 1" : " 0"));
  control->enabled = enable;
  return true;
}

bool CHeadlessDialogBackend::IsDlgItemEnabled(WindowHandle dialog, int32_t id) {
  HeadlessControl* control = FindControl(dialog, id, "IsDlgItemEnabled");
  return control != nullptr && control->enabled;
}

bool CHeadlessDialogBackend::SetFocus(WindowHandle dialog, int32_t id) {
  HeadlessWindow* window = Find(dialog, "SetFocus");
  if (window == nullptr || FindControl(dialog, id, "SetFocus") == nullptr) return false;
  MoveFocus(*window, id);
  return true;
}

int32_t CHeadlessDialogBackend::GetDlgCtrlID(WindowHandle handle) {
  for (auto& window : m_windows) {
    for (auto& control : window->m_controls) {
      if (control.get() == handle) return control->id;
    }
  }
  Fault("GetDlgCtrlID: unknown control");
  return 0;
}

void CHeadlessDialogBackend::EditSetSel(WindowHandle dialog, int32_t id, int32_t start,
                                        int32_t end) {
  HeadlessControl* control = FindControl(dialog, id, HeadlessControlKind::Edit, "EditSetSel");
  if (control == nullptr) return;
  Log("setsel " + std::to_string(id) + " " + std::to_string(start) + " " + std::to_string(end));
  const int32_t length = Length(*control);
  if (start == -1) {
    control->selStart = control->selEnd;
    return;
  }
  if (end == -1) end = length;
  start = std::clamp(start, 0, length);
  end = std::clamp(end, 0, length);
  control->selStart = std::min(start, end);
  control->selEnd = std::max(start, end);
}

void CHeadlessDialogBackend::EditReplaceSel(WindowHandle dialog, int32_t id, const char* text,
                                            bool canUndo) {
  HeadlessControl* control =
      FindControl(dialog, id, HeadlessControlKind::Edit, "EditReplaceSel");
  if (control == nullptr) return;
  Log("replacesel " + std::to_string(id) + " " + text);
  std::string insert = text;
  const size_t kept = control->text.size() - static_cast<size_t>(control->selEnd - control->selStart);
  const size_t room = control->limit > kept ? control->limit - kept : 0;
  const bool cut = insert.size() > room;
  if (cut) insert.resize(room);
  control->text.replace(static_cast<size_t>(control->selStart),
                        static_cast<size_t>(control->selEnd - control->selStart), insert);
  control->selStart += static_cast<int32_t>(insert.size());
  control->selEnd = control->selStart;
  control->undoable = canUndo;
  if (cut) {
    HeadlessWindow* window = Find(dialog, "EditReplaceSel");
    if (window != nullptr) NotifyDialog(*window, *control, kEnMaxText);
  }
}

void CHeadlessDialogBackend::EditScrollCaret(WindowHandle dialog, int32_t id) {
  if (FindControl(dialog, id, HeadlessControlKind::Edit, "EditScrollCaret") == nullptr) return;
  Log("scrollcaret " + std::to_string(id));
}

void CHeadlessDialogBackend::EditSetLimitText(WindowHandle dialog, int32_t id, uint32_t limit) {
  HeadlessControl* control =
      FindControl(dialog, id, HeadlessControlKind::Edit, "EditSetLimitText");
  if (control == nullptr) return;
  Log("limit " + std::to_string(id) + " " + std::to_string(limit));
  control->limit = limit == 0 ? std::numeric_limits<uint32_t>::max() : limit;
}

int32_t CHeadlessDialogBackend::ComboInsertString(WindowHandle dialog, int32_t id, int32_t index,
                                                  const char* text) {
  HeadlessControl* control =
      FindControl(dialog, id, HeadlessControlKind::Combo, "ComboInsertString");
  if (control == nullptr) return kCbErr;
  const int32_t count = static_cast<int32_t>(control->items.size());
  if (index == -1) index = count;
  if (index < 0 || index > count) return kCbErr;
  Log("combo-insert " + std::to_string(id) + " " + std::to_string(index) + " " + text);
  control->items.insert(control->items.begin() + index, HeadlessItem{text, 0});
  if (control->curSel != kCbErr && control->curSel >= index) ++control->curSel;
  return index;
}

int32_t CHeadlessDialogBackend::ComboSetCurSel(WindowHandle dialog, int32_t id, int32_t index) {
  HeadlessControl* control =
      FindControl(dialog, id, HeadlessControlKind::Combo, "ComboSetCurSel");
  if (control == nullptr) return kCbErr;
  Log("combo-select " + std::to_string(id) + " " + std::to_string(index));
  if (index < 0 || index >= static_cast<int32_t>(control->items.size())) {
    control->curSel = kCbErr;
    control->text.clear();
    return kCbErr;
  }
  control->curSel = index;
  control->text = control->items[static_cast<size_t>(index)].text;
  return index;
}

int32_t CHeadlessDialogBackend::ComboGetCurSel(WindowHandle dialog, int32_t id) {
  HeadlessControl* control =
      FindControl(dialog, id, HeadlessControlKind::Combo, "ComboGetCurSel");
  return control != nullptr ? control->curSel : kCbErr;
}

int32_t CHeadlessDialogBackend::ComboSetItemData(WindowHandle dialog, int32_t id, int32_t index,
                                                 intptr_t data) {
  HeadlessControl* control =
      FindControl(dialog, id, HeadlessControlKind::Combo, "ComboSetItemData");
  if (control == nullptr || index < 0 || index >= static_cast<int32_t>(control->items.size())) {
    return kCbErr;
  }
  Log("combo-data " + std::to_string(id) + " " + std::to_string(index) + " " +
      std::to_string(data));
  control->items[static_cast<size_t>(index)].data = data;
  return 0;
}

intptr_t CHeadlessDialogBackend::ComboGetItemData(WindowHandle dialog, int32_t id,
                                                  int32_t index) {
  HeadlessControl* control =
      FindControl(dialog, id, HeadlessControlKind::Combo, "ComboGetItemData");
  if (control == nullptr || index < 0 || index >= static_cast<int32_t>(control->items.size())) {
    return kCbErr;
  }
  return control->items[static_cast<size_t>(index)].data;
}

int32_t CHeadlessDialogBackend::ComboGetLBText(WindowHandle dialog, int32_t id, int32_t index,
                                               std::string& text) {
  HeadlessControl* control =
      FindControl(dialog, id, HeadlessControlKind::Combo, "ComboGetLBText");
  if (control == nullptr || index < 0 || index >= static_cast<int32_t>(control->items.size())) {
    return kCbErr;
  }
  text = control->items[static_cast<size_t>(index)].text;
  return static_cast<int32_t>(text.size());
}

int32_t CHeadlessDialogBackend::ComboGetCount(WindowHandle dialog, int32_t id) {
  HeadlessControl* control =
      FindControl(dialog, id, HeadlessControlKind::Combo, "ComboGetCount");
  return control != nullptr ? static_cast<int32_t>(control->items.size()) : kCbErr;
}

void CHeadlessDialogBackend::ComboResetContent(WindowHandle dialog, int32_t id) {
  HeadlessControl* control =
      FindControl(dialog, id, HeadlessControlKind::Combo, "ComboResetContent");
  if (control == nullptr) return;
  Log("combo-reset " + std::to_string(id));
  control->items.clear();
  control->curSel = kCbErr;
  control->text.clear();
}

MenuHandle CHeadlessDialogBackend::GetSystemMenu(WindowHandle handle) {
  HeadlessWindow* window = Find(handle, "GetSystemMenu");
  if (window == nullptr || !window->m_hasSystemMenu) return nullptr;
  return &window->m_systemMenu;
}

bool CHeadlessDialogBackend::AppendMenu(MenuHandle menu, uint32_t flags, uintptr_t id,
                                        const char* text) {
  for (auto& window : m_windows) {
    if (&window->m_systemMenu == menu) {
      const std::string itemText = text != nullptr ? text : "";
      Log("appendmenu " + Hex(flags) + " " + std::to_string(id) + " " + itemText);
      window->m_systemMenu.push_back(HeadlessMenuItem{flags, id, itemText});
      return true;
    }
  }
  Fault("AppendMenu: unknown menu");
  return false;
}

std::string CHeadlessDialogBackend::LoadString(uint32_t id) {
  auto found = m_strings.find(id);
  if (found == m_strings.end()) return std::string();
  return found->second;
}

IconHandle CHeadlessDialogBackend::LoadIcon(int32_t id) {
  if (m_icons.count(id) == 0) {
    Fault("LoadIcon: no icon " + std::to_string(id));
    return nullptr;
  }
  return reinterpret_cast<IconHandle>(static_cast<uintptr_t>(0x1C0000 + id));
}

void CHeadlessDialogBackend::SetIcon(WindowHandle handle, IconHandle icon, bool big) {
  HeadlessWindow* window = Find(handle, "SetIcon");
  if (window == nullptr) return;
  Log(big ? "seticon big" : "seticon small");
  (big ? window->m_bigIcon : window->m_smallIcon) = icon;
}

bool CHeadlessDialogBackend::IsIconic(WindowHandle handle) {
  HeadlessWindow* window = Find(handle, "IsIconic");
  return window != nullptr && window->m_iconic;
}

DeviceContext CHeadlessDialogBackend::BeginPaint(WindowHandle handle, PaintSession& session) {
  HeadlessWindow* window = Find(handle, "BeginPaint");
  if (window == nullptr) return nullptr;
  session.dc = reinterpret_cast<DeviceContext>(m_nextDc++);
  m_paintWindows[session.dc] = window;
  Log("beginpaint");
  return session.dc;
}

void CHeadlessDialogBackend::EndPaint(WindowHandle handle, PaintSession& session) {
  if (Find(handle, "EndPaint") == nullptr) return;
  if (m_paintWindows.erase(session.dc) == 0) Fault("EndPaint without BeginPaint");
  Log("endpaint");
}

int32_t CHeadlessDialogBackend::GetSystemMetrics(int32_t index) {
  if (index == kSmCxIcon || index == kSmCyIcon) return m_iconSize;
  return 0;
}

bool CHeadlessDialogBackend::GetClientRect(WindowHandle handle, ClientRect& rect) {
  HeadlessWindow* window = Find(handle, "GetClientRect");
  if (window == nullptr) return false;
  rect = window->m_client;
  return true;
}

bool CHeadlessDialogBackend::DrawIcon(DeviceContext dc, int32_t x, int32_t y, IconHandle icon) {
  auto painted = m_paintWindows.find(dc);
  if (painted == m_paintWindows.end()) {
    Fault("DrawIcon: no BeginPaint for this device context");
    return false;
  }
  painted->second->m_draws.push_back(HeadlessDraw{dc, x, y, icon});
  Log("drawicon " + std::to_string(x) + " " + std::to_string(y));
  return true;
}

uint32_t CHeadlessDialogBackend::SetTextColor(DeviceContext dc, uint32_t colour) {
  const uint32_t previous = TextColour(dc);
  m_textColours[dc] = colour;
  return previous;
}

void CHeadlessDialogBackend::QueueDuringPaint(int32_t templateId, HeadlessStep step) {
  m_duringPaint.push_back({templateId, std::move(step)});
}

void CHeadlessDialogBackend::RunNext(std::deque<DuringPaint>& queue, const char* entry) {
  if (queue.empty()) return;
  DuringPaint next = std::move(queue.front());
  queue.pop_front();
  Log(entry);
  HeadlessWindow* window = LastWindow(next.templateId);
  if (window != nullptr && window->Alive() && next.step) next.step(*this, *window);
}

void CHeadlessDialogBackend::PumpPaint() {
  ++m_paintPumps;
  RunNext(m_duringPaint, "during paint");
}

void CHeadlessDialogBackend::QueueDuringWait(int32_t templateId, HeadlessStep step) {
  m_duringWait.push_back({templateId, std::move(step)});
}

void CHeadlessDialogBackend::WaitServing(EventHandle done) {
  ++m_waits;
  RunNext(m_duringWait, "during wait");
  IThreads* threads = GetPlatform().threads;
  if (threads == nullptr) {
    Fault("a wait for the instrument thread without threads");
    return;
  }
  threads->WaitForSingleObject(done);
}

namespace headless {

HeadlessStep Command(int32_t id) {
  return [id](CHeadlessDialogBackend& backend, HeadlessWindow& window) {
    backend.Command(window, id);
  };
}

HeadlessStep SysCommand(uint32_t command) {
  return [command](CHeadlessDialogBackend& backend, HeadlessWindow& window) {
    backend.SysCommand(window, command);
  };
}

HeadlessStep Close() {
  return [](CHeadlessDialogBackend& backend, HeadlessWindow& window) { backend.Close(window); };
}

HeadlessStep Click(int32_t id) {
  return [id](CHeadlessDialogBackend& backend, HeadlessWindow& window) {
    backend.Click(window, id);
  };
}

HeadlessStep Select(int32_t id, int32_t index) {
  return [id, index](CHeadlessDialogBackend& backend, HeadlessWindow& window) {
    backend.Select(window, id, index);
  };
}

HeadlessStep Focus(int32_t id) {
  return [id](CHeadlessDialogBackend& backend, HeadlessWindow& window) {
    backend.Focus(window, id);
  };
}

HeadlessStep Notify(int32_t id, uint16_t code) {
  return [id, code](CHeadlessDialogBackend& backend, HeadlessWindow& window) {
    backend.Notify(window, id, code);
  };
}

HeadlessStep Run(std::function<void(HeadlessWindow&)> action) {
  return [action = std::move(action)](CHeadlessDialogBackend&, HeadlessWindow& window) {
    action(window);
  };
}

}  // namespace headless
