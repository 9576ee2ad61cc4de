// Drives a running dialog program from outside, the way a user would: menu commands
// by id, the report window read back, common dialogs and message boxes answered,
// screenshots taken. Everything is found through the process id, never by guessing.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace gui {

struct CControlInfo {
  int id = 0;
  std::string className;
  std::string text;
  bool enabled = false;
  bool visible = false;
  DWORD style = 0;
  RECT rect{};                     // in the dialog's client coordinates, pixels
  std::vector<std::string> items;  // combo and list boxes only
  int selection = -1;              // combo and list boxes only
};

struct CDialogInfo {
  HWND hwnd = nullptr;
  std::string caption;
  std::vector<CControlInfo> controls;

  const CControlInfo* Control(int id) const;
};

struct CMessageBoxInfo {
  HWND hwnd = nullptr;
  std::string caption;
  std::string text;
  std::vector<std::string> buttons;
};

class CAppUnderTest {
 public:
  CAppUnderTest() = default;
  ~CAppUnderTest();
  CAppUnderTest(const CAppUnderTest&) = delete;
  CAppUnderTest& operator=(const CAppUnderTest&) = delete;

  // Starts the program in workDir and waits until its main dialog is shown with caption.
  bool Start(const std::string& exe, const std::string& workDir, const std::string& caption,
             DWORD timeoutMs = 30000);

  HWND MainWindow() const { return m_main; }
  DWORD ProcessId() const { return m_pi.dwProcessId; }

  // Runs a command to its end (the call returns when the handler has returned).
  bool SendCommand(WORD id, DWORD timeoutMs = 300000);
  // Queues a command; for commands that open a modal window, so the driver keeps going.
  bool PostCommand(WORD id);
  bool PostSysCommand(WPARAM command);
  bool PostClose();

  // True once the main dialog's thread answers messages again.
  bool WaitIdle(DWORD timeoutMs = 300000);

  std::string ControlText(int id) const;
  std::string ReportText() const { return ControlText(1000); }

  // A visible top-level dialog of the process other than the main dialog.
  HWND WaitForDialog(DWORD timeoutMs = 20000, const std::string& caption = std::string()) const;
  HWND FindDialog(const std::string& caption = std::string()) const;
  bool WaitForNoDialog(DWORD timeoutMs = 20000) const;

  CMessageBoxInfo ReadMessageBox(HWND box) const;
  CDialogInfo ReadDialog(HWND dialog) const;
  bool PressButton(HWND dialog, int id) const;
  // The user picks a combo entry: the selection, then the notification the
  // dialog would get from the list (posted, so a long handler does not block).
  bool SelectComboItem(HWND dialog, int id, int index) const;
  // Moves the keyboard focus to a control the way Tab does.
  bool FocusControl(HWND dialog, int id) const;

  // Types path into the open save-file dialog and presses its Save button.
  bool AnswerSaveDialog(HWND dialog, const std::string& path) const;

  bool WaitForExit(DWORD timeoutMs = 20000);
  bool HasExited() const;
  // How the program ended, for a failure message ("still running" while it runs).
  std::string ExitDescription() const;
  void Kill();

 private:
  PROCESS_INFORMATION m_pi{};
  HWND m_main = nullptr;
};

// A rectangle of a dialog template in dialog units as pixels of the running
// dialog, whose template is width x height units: scaled by its client area,
// which the dialog manager sized from the same units.
RECT DialogUnitsToPixels(HWND dialog, int width, int height, const RECT& units);

// The controls of a dialog as text, for failure messages.
std::string Describe(const CDialogInfo& info);

std::vector<HWND> TopLevelWindowsOf(DWORD pid);
std::string WindowText(HWND hwnd);
// Read without a message to the window, so it works while the program is busy.
std::string Caption(HWND window);
bool WaitForCaption(HWND window, const std::string& caption, DWORD timeoutMs = 30000);
std::string WindowClass(HWND hwnd);

// Waits until window and its child windows have no part left to paint.
bool WaitPainted(HWND window, DWORD timeoutMs = 5000);

// Captures the screen, or only the area of window when it is given, to a PNG file.
bool SaveScreenshot(const std::string& pngPath, HWND window = nullptr);

}  // namespace gui
