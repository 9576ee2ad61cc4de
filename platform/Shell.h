#pragma once
// Starting programs, opening documents, and the user-interface services that are
// not tied to one dialog.
#include <cstdint>
#include <string>

using WindowHandle = void*;

// Values of the platform's constants that the system passes through.
constexpr int32_t kSwHide = 0;
constexpr int32_t kSwShowNormal = 1;
constexpr uint32_t kOfnOverwritePrompt = 0x00000002;
constexpr uint32_t kOfnHideReadOnly = 0x00000004;
constexpr uint32_t kMbOk = 0x00000000;

class IShell {
 public:
  virtual ~IShell() = default;
  virtual uint32_t WinExec(const char* commandLine, int32_t show) = 0;
  virtual intptr_t ShellExecute(WindowHandle owner, const char* verb, const char* file,
                                const char* parameters, const char* directory,
                                int32_t show) = 0;
  // The save-file common dialog. filter holds description, NUL, pattern, NUL.
  // On OK: true, path = the full path, extensionOffset = index of the extension
  // in path (0 when the name has none).
  virtual bool GetSaveFileName(WindowHandle owner, const std::string& filter, uint32_t flags,
                               std::string& path, uint16_t& extensionOffset) = 0;
  virtual int32_t MessageBox(WindowHandle owner, const char* text, const char* caption,
                             uint32_t type) = 0;
  // Text for whoever started the program: the console it was started from, or its
  // redirected output (error output when error is set). False when there is neither.
  virtual bool WriteToConsole(const char* text, bool error) = 0;
  // The busy cursor while a command runs.
  virtual void BeginWaitCursor() = 0;
  virtual void EndWaitCursor() = 0;
};
