#pragma once
// Real threads and events for native tests, so a call handed to the instrument
// thread really runs there. Under Wine the runtime has no std::thread: there
// CreateThread fails and the calls stay direct.
#include <memory>

#include "platform/InstrumentThread.h"
#include "platform/Platform.h"

class FakeThreads : public IThreads {
 public:
  FakeThreads();
  ~FakeThreads() override;
  bool CreateThread(void (*entry)(void*), void* argument) override;
  EventHandle CreateEvent() override;
  bool SetEvent(EventHandle event) override;
  void WaitForSingleObject(EventHandle event) override;
  // Events live as long as the fake: a late SetEvent never touches freed memory.
  void CloseHandle(EventHandle) override {}

 private:
  struct State;
  std::unique_ptr<State> m_state;
};

// The instrument thread over the libraries the platform has when Start is
// called; stopped (and the libraries put back) at the scope's end.
class InstrumentThreadScope {
 public:
  ~InstrumentThreadScope() { CInstrumentThread::Stop(); }
  bool Start() {
    Platform platform = GetPlatform();
    platform.threads = &m_threads;
    SetPlatform(platform);
    return CInstrumentThread::Start();
  }
  IThreads& Threads() { return m_threads; }

 private:
  FakeThreads m_threads;
};
