#pragma once
// The real platform. Each part lives in its own file of platform/win32/.
#include "platform/Platform.h"

ILibraries& Win32Libraries();
ISystem& Win32System();
INetwork& Win32Network();
IFileSystem& Win32Files();
IClock& Win32Clock();
IShell& Win32Shell();
IDialogBackend& Win32Dialogs();
IThreads& Win32Threads();

// All of the above, ready for SetPlatform.
Platform MakeWin32Platform();
