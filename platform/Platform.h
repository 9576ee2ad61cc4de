#pragma once
// The one seam between the system and its platform. The real Win32 side is in
// platform/win32/, in-memory fakes are in tests/fakes/.
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Libraries.h"
#include "platform/Network.h"
#include "platform/Shell.h"
#include "platform/System.h"
#include "platform/Threads.h"

class IDialogBackend;

struct Platform {
  ILibraries* libraries = nullptr;
  ISystem* system = nullptr;
  INetwork* network = nullptr;
  IFileSystem* files = nullptr;
  IClock* clock = nullptr;
  IShell* shell = nullptr;
  IDialogBackend* dialogs = nullptr;
  IThreads* threads = nullptr;
};

// The platform in use. The program installs the Win32 one at start; tests install fakes.
Platform& GetPlatform();
void SetPlatform(const Platform& platform);
