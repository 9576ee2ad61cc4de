#include "platform/win32/Win32Platform.h"

Platform MakeWin32Platform() {
  Platform platform;
  platform.libraries = &Win32Libraries();
  platform.system = &Win32System();
  platform.network = &Win32Network();
  platform.files = &Win32Files();
  platform.clock = &Win32Clock();
  platform.shell = &Win32Shell();
  platform.dialogs = &Win32Dialogs();
  platform.threads = &Win32Threads();
  return platform;
}
