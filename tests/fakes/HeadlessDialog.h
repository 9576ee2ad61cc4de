#pragma once
// Dialogs without a window system: each control's state is kept in memory, a modal
// run sends the messages the platform would send (WM_INITDIALOG, WM_SHOWWINDOW, ...)
// and then plays the test's script for that template, so nested modal dialogs
// (About inside the main dialog) run their own scripts.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Dialog.h"

enum class HeadlessControlKind { Edit, Combo, Button, Static };

struct HeadlessControlDef {
  int32_t id = 0;
  HeadlessControlKind kind = HeadlessControlKind::Static;
  std::string text;
  bool enabled = true;
  // A button with BS_NOTIFY: it reports gaining and losing the focus.
  bool notify = false;
};

struct HeadlessTemplate {
  std::string caption;
  std::vector<HeadlessControlDef> controls;
  bool systemMenu = true;
};

// An edit control's limit before any EM_SETLIMITTEXT.
constexpr uint32_t kHeadlessDefaultEditLimit = 32767;

struct HeadlessItem {
  std::string text;
  intptr_t data = 0;
};

struct HeadlessControl {
  int32_t id = 0;
  HeadlessControlKind kind = HeadlessControlKind::Static;
  std::string text;
  bool enabled = true;
  bool notify = false;
  // Edit: ordered selection; the caret is at selEnd.
  int32_t selStart = 0;
  int32_t selEnd = 0;
  uint32_t limit = kHeadlessDefaultEditLimit;
  bool undoable = false;  // the last replacement could be undone
  // Combo box.
  std::vector<HeadlessItem> items;
  int32_t curSel = kCbErr;
};

struct HeadlessMenuItem {
  uint32_t flags = 0;
  uintptr_t id = 0;
  std::string text;
};

struct HeadlessDraw {
  DeviceContext dc = nullptr;
  int32_t x = 0;
  int32_t y = 0;
  IconHandle icon = nullptr;
};

class CHeadlessDialogBackend;

class HeadlessWindow {
 public:
  int32_t TemplateId() const { return m_templateId; }
  WindowHandle Handle() { return this; }
  CDialog* Dialog() const { return m_dialog; }
  WindowHandle Parent() const { return m_parent; }
  const std::string& Caption() const { return m_caption; }
  bool Alive() const { return m_alive; }
  bool Ended() const { return m_ended; }
  intptr_t Result() const { return m_result; }
  int32_t FocusId() const { return m_focusId; }

  // Null when the template has no such control.
  HeadlessControl* Control(int32_t id);
  const std::string& Text(int32_t id);

  const std::vector<HeadlessMenuItem>& SystemMenu() const { return m_systemMenu; }
  IconHandle BigIcon() const { return m_bigIcon; }
  IconHandle SmallIcon() const { return m_smallIcon; }
  const std::vector<HeadlessDraw>& Draws() const { return m_draws; }

  void SetIconic(bool iconic) { m_iconic = iconic; }
  void SetClientRect(const ClientRect& rect) { m_client = rect; }

 private:
  friend class CHeadlessDialogBackend;

  int32_t m_templateId = 0;
  CDialog* m_dialog = nullptr;
  WindowHandle m_parent = nullptr;
  std::string m_caption;
  std::vector<std::unique_ptr<HeadlessControl>> m_controls;
  int32_t m_focusId = 0;
  bool m_alive = false;
  bool m_shown = false;
  bool m_ended = false;
  intptr_t m_result = 0;
  bool m_hasSystemMenu = true;
  std::vector<HeadlessMenuItem> m_systemMenu;
  IconHandle m_bigIcon = nullptr;
  IconHandle m_smallIcon = nullptr;
  bool m_iconic = false;
  ClientRect m_client{0, 0, 480, 277};
  std::vector<HeadlessDraw> m_draws;
};

// One step of a script: what the user (or the system) does next.
using HeadlessStep = std::function<void(CHeadlessDialogBackend&, HeadlessWindow&)>;

class CHeadlessDialogBackend : public IDialogBackend {
 public:
  CHeadlessDialogBackend();
  ~CHeadlessDialogBackend() override;

  void DefineTemplate(int32_t id, HeadlessTemplate templ);
  void DefineString(uint32_t id, std::string text);
  void DefineIcon(int32_t id);
  // Each modal run of the template takes the next script; a run without one, or
  // whose script ends with the dialog still open, has its window destroyed and
  // counts as abandoned.
  void QueueScript(int32_t templateId, std::vector<HeadlessStep> steps);

  // Each time a running command lets the windows paint: how often, and what
  // the user does meanwhile (steps run on the template's latest live window,
  // one per paint, in order); a close among them is sent as Win32 sends it.
  int PaintPumps() const { return m_paintPumps; }
  void QueueDuringPaint(int32_t templateId, HeadlessStep step);
  // The same while a command waits for the instrument thread: each wait takes
  // the next step, runs it while the call runs, then waits for the call.
  int Waits() const { return m_waits; }
  void QueueDuringWait(int32_t templateId, HeadlessStep step);

  // Every state change and message, in order; may be shared with other fakes.
  void SetJournal(std::vector<std::string>* journal) { m_journal = journal; }
  std::vector<std::string>& Journal() { return *m_journal; }
  // Misuse seen: unknown controls, templates, handles.
  const std::vector<std::string>& Faults() const { return m_faults; }
  int AbandonedRuns() const { return m_abandoned; }
  int CommonControlsInits() const { return m_commonControlsInits; }
  // Set by PostQuitMessage: every modal run ends, and none starts.
  bool QuitPosted() const { return m_quit; }
  void SetIconSize(int32_t size) { m_iconSize = size; }
  intptr_t DefaultBrush() const { return m_defaultBrush; }
  uint32_t TextColour(DeviceContext dc) const;

  // Every window created so far, dead ones included, in creation order.
  std::vector<HeadlessWindow*> Windows() const;
  // The most recent window of a template; null if none was created.
  HeadlessWindow* LastWindow(int32_t templateId) const;

  // What the platform sends on the user's behalf, with its default processing
  // when the dialog leaves a message unconsumed.
  intptr_t Send(HeadlessWindow& window, uint32_t message, uintptr_t wParam, intptr_t lParam);
  void Command(HeadlessWindow& window, int32_t id);
  void SysCommand(HeadlessWindow& window, uint32_t command);
  void Close(HeadlessWindow& window);
  // A click on an enabled button (a disabled one takes no clicks: a fault).
  void Click(HeadlessWindow& window, int32_t id);
  // The user picks a combo entry: selection, then CBN_SELCHANGE.
  void Select(HeadlessWindow& window, int32_t id, int32_t index);
  // The user moves the focus to a control.
  void Focus(HeadlessWindow& window, int32_t id);
  void Notify(HeadlessWindow& window, int32_t id, uint16_t code);
  // Asks the dialog for a control's colours; returns the brush.
  intptr_t CtlColor(HeadlessWindow& window, int32_t id, uint32_t message, DeviceContext dc);

  // IDialogBackend
  bool InitCommonControls() override;
  intptr_t DoModal(CDialog& dialog, int32_t templateId, WindowHandle parent) override;
  bool EndDialog(WindowHandle dialog, intptr_t result) override;
  bool DestroyWindow(WindowHandle window) override;
  intptr_t DefWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam,
                         intptr_t lParam) override;
  intptr_t SendMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                       intptr_t lParam) override;
  void PostQuitMessage(int32_t exitCode) override;
  bool SetWindowText(WindowHandle window, const char* text) override;
  std::string GetWindowText(WindowHandle window) override;
  bool SetDlgItemText(WindowHandle dialog, int32_t id, const char* text) override;
  int32_t GetDlgItemTextLength(WindowHandle dialog, int32_t id) override;
  bool GetDlgItemText(WindowHandle dialog, int32_t id, std::string& text,
                      size_t maxCount) override;
  bool EnableDlgItem(WindowHandle dialog, int32_t id, bool enable) override;
  bool IsDlgItemEnabled(WindowHandle dialog, int32_t id) override;
  bool SetFocus(WindowHandle dialog, int32_t id) override;
  int32_t GetDlgCtrlID(WindowHandle control) override;
  void EditSetSel(WindowHandle dialog, int32_t id, int32_t start, int32_t end) override;
  void EditReplaceSel(WindowHandle dialog, int32_t id, const char* text, bool canUndo) override;
  void EditScrollCaret(WindowHandle dialog, int32_t id) override;
  void EditSetLimitText(WindowHandle dialog, int32_t id, uint32_t limit) override;
  int32_t ComboInsertString(WindowHandle dialog, int32_t id, int32_t index,
                            const char* text) override;
  int32_t ComboSetCurSel(WindowHandle dialog, int32_t id, int32_t index) override;
  int32_t ComboGetCurSel(WindowHandle dialog, int32_t id) override;
  int32_t ComboSetItemData(WindowHandle dialog, int32_t id, int32_t index,
                           intptr_t data) override;
  intptr_t ComboGetItemData(WindowHandle dialog, int32_t id, int32_t index) override;
  int32_t ComboGetLBText(WindowHandle dialog, int32_t id, int32_t index,
                         std::string& text) override;
  int32_t ComboGetCount(WindowHandle dialog, int32_t id) override;
  void ComboResetContent(WindowHandle dialog, int32_t id) override;
  MenuHandle GetSystemMenu(WindowHandle window) override;
  bool AppendMenu(MenuHandle menu, uint32_t flags, uintptr_t id, const char* text) override;
  std::string LoadString(uint32_t id) override;
  IconHandle LoadIcon(int32_t id) override;
  void SetIcon(WindowHandle window, IconHandle icon, bool big) override;
  bool IsIconic(WindowHandle window) override;
  DeviceContext BeginPaint(WindowHandle window, PaintSession& session) override;
  void EndPaint(WindowHandle window, PaintSession& session) override;
  int32_t GetSystemMetrics(int32_t index) override;
  bool GetClientRect(WindowHandle window, ClientRect& rect) override;
  bool DrawIcon(DeviceContext dc, int32_t x, int32_t y, IconHandle icon) override;
  uint32_t SetTextColor(DeviceContext dc, uint32_t colour) override;
  void PumpPaint() override;
  void WaitServing(EventHandle done) override;

 private:
  struct DuringPaint {
    int32_t templateId = 0;
    HeadlessStep step;
  };
  std::deque<DuringPaint> m_duringPaint;
  int m_paintPumps = 0;
  std::deque<DuringPaint> m_duringWait;
  int m_waits = 0;
  void RunNext(std::deque<DuringPaint>& queue, const char* entry);

  HeadlessWindow* Find(WindowHandle handle, const char* operation);
  HeadlessControl* FindControl(WindowHandle dialog, int32_t id, const char* operation);
  HeadlessControl* FindControl(WindowHandle dialog, int32_t id, HeadlessControlKind kind,
                               const char* operation);
  void Log(std::string entry);
  void Fault(std::string fault);
  void Destroy(HeadlessWindow& window);
  void MoveFocus(HeadlessWindow& window, int32_t id);
  void NotifyDialog(HeadlessWindow& window, HeadlessControl& control, uint16_t code);

  std::map<int32_t, HeadlessTemplate> m_templates;
  std::map<uint32_t, std::string> m_strings;
  std::map<int32_t, bool> m_icons;
  std::map<int32_t, std::deque<std::vector<HeadlessStep>>> m_scripts;
  std::vector<std::unique_ptr<HeadlessWindow>> m_windows;
  std::vector<std::string> m_ownJournal;
  std::vector<std::string>* m_journal = &m_ownJournal;
  std::vector<std::string> m_faults;
  std::map<DeviceContext, uint32_t> m_textColours;
  std::map<DeviceContext, HeadlessWindow*> m_paintWindows;
  int m_abandoned = 0;
  bool m_quit = false;
  int m_commonControlsInits = 0;
  int32_t m_iconSize = 32;
  uintptr_t m_nextDc = 0xDC00;
  intptr_t m_defaultBrush = 0xB001;
};

// Script steps.
namespace headless {
HeadlessStep Command(int32_t id);
HeadlessStep SysCommand(uint32_t command);
HeadlessStep Close();
HeadlessStep Click(int32_t id);
HeadlessStep Select(int32_t id, int32_t index);
HeadlessStep Focus(int32_t id);
HeadlessStep Notify(int32_t id, uint16_t code);
// Anything else: inspect the window, change the fake machine between commands.
HeadlessStep Run(std::function<void(HeadlessWindow&)> action);
}  // namespace headless
