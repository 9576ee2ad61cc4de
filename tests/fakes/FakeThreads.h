#pragma once
// Threads for tests: real threads and events (the C++ library's natively, the
// system's under Wine, whose runtime has no std::thread), so a call handed to
// the instrument thread really runs there; and a gate that holds such a call
// until the test has done what it wants done while the call runs.
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
  void CloseHandle(EventHandle event) override;

 private:
  struct State;
  std::unique_ptr<State> m_state;
};

// The instrument thread on fake threads, over the libraries the platform has
// when Start is called; stopped (and the libraries put back) at the scope's end.
class InstrumentThreadScope {
 public:
  InstrumentThreadScope() = default;
  InstrumentThreadScope(const InstrumentThreadScope&) = delete;
  InstrumentThreadScope& operator=(const InstrumentThreadScope&) = delete;
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

// Holds whoever enters until the test releases it.
class CallGate {
 public:
  explicit CallGate(IThreads& threads);
  ~CallGate();
  void Enter();
  void WaitEntered();
  void Release();

 private:
  IThreads& m_threads;
  EventHandle m_entered;
  EventHandle m_released;
};
