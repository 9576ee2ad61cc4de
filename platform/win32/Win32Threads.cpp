#include <windows.h>

#undef CreateEvent

#include "platform/win32/Win32Platform.h"

namespace {

struct ThreadStart {
  void (*entry)(void*);
  void* argument;
};

DWORD WINAPI ThreadProc(LPVOID parameter) {
  const ThreadStart start = *static_cast<ThreadStart*>(parameter);
  delete static_cast<ThreadStart*>(parameter);
  start.entry(start.argument);
  return 0;
}

class CWin32Threads : public IThreads {
 public:
  bool CreateThread(void (*entry)(void*), void* argument) override {
    auto* start = new ThreadStart{entry, argument};
    DWORD id = 0;
    // 95 and NT 4.0 want somewhere to put the thread's id.
    HANDLE thread = ::CreateThread(nullptr, 0, &ThreadProc, start, 0, &id);
    if (thread == nullptr) {
      delete start;
      return false;
    }
    ::CloseHandle(thread);
    return true;
  }

  EventHandle CreateEvent() override { return ::CreateEventA(nullptr, FALSE, FALSE, nullptr); }

  bool SetEvent(EventHandle event) override { return ::SetEvent(static_cast<HANDLE>(event)) != FALSE; }

  void WaitForSingleObject(EventHandle event) override {
    ::WaitForSingleObject(static_cast<HANDLE>(event), INFINITE);
  }

  void CloseHandle(EventHandle event) override { ::CloseHandle(static_cast<HANDLE>(event)); }
};

}  // namespace

IThreads& Win32Threads() {
  static CWin32Threads threads;
  return threads;
}
