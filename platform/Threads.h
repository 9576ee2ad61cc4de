#pragma once
// Threads and events, as old Windows has them: the instrument thread is one
// thread of ours with two auto-reset events between it and the window's thread.
#include <cstdint>

using EventHandle = void*;

class IThreads {
 public:
  virtual ~IThreads() = default;
  // Runs entry(argument) on a new thread that lives until the process ends;
  // false when no thread could be started.
  virtual bool CreateThread(void (*entry)(void* argument), void* argument) = 0;
  // An auto-reset event, not signalled; null on failure.
  virtual EventHandle CreateEvent() = 0;
  virtual bool SetEvent(EventHandle event) = 0;
  // Blocks until the event is signalled (and resets it).
  virtual void WaitForSingleObject(EventHandle event) = 0;
  virtual void CloseHandle(EventHandle event) = 0;
};
