#include "tests/fakes/FakeThreads.h"

#include <vector>

#ifdef _WIN32
#include <windows.h>
#undef CreateEvent

struct FakeThreads::State {
  std::vector<HANDLE> threads;
};

FakeThreads::FakeThreads() : m_state(std::make_unique<State>()) {}

FakeThreads::~FakeThreads() {
  for (HANDLE thread : m_state->threads) {
    ::WaitForSingleObject(thread, INFINITE);
    ::CloseHandle(thread);
  }
}

namespace {
struct Start {
  void (*entry)(void*);
  void* argument;
};
DWORD WINAPI Run(LPVOID parameter) {
  const Start start = *static_cast<Start*>(parameter);
  delete static_cast<Start*>(parameter);
  start.entry(start.argument);
  return 0;
}
}  // namespace

bool FakeThreads::CreateThread(void (*entry)(void*), void* argument) {
  DWORD id = 0;
  HANDLE thread = ::CreateThread(nullptr, 0, &Run, new Start{entry, argument}, 0, &id);
  if (thread == nullptr) return false;
  m_state->threads.push_back(thread);
  return true;
}

EventHandle FakeThreads::CreateEvent() { return ::CreateEventA(nullptr, FALSE, FALSE, nullptr); }
bool FakeThreads::SetEvent(EventHandle event) { return ::SetEvent(event) != FALSE; }
void FakeThreads::WaitForSingleObject(EventHandle event) { ::WaitForSingleObject(event, INFINITE); }
void FakeThreads::CloseHandle(EventHandle event) { ::CloseHandle(event); }

#else
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {
struct Event {
  std::mutex mutex;
  std::condition_variable changed;
  bool signalled = false;
};
}  // namespace

struct FakeThreads::State {
  std::vector<std::thread> threads;
  std::vector<std::unique_ptr<Event>> events;
};

FakeThreads::FakeThreads() : m_state(std::make_unique<State>()) {}

FakeThreads::~FakeThreads() {
  for (std::thread& thread : m_state->threads) thread.join();
}

bool FakeThreads::CreateThread(void (*entry)(void*), void* argument) {
  m_state->threads.emplace_back(entry, argument);
  return true;
}

EventHandle FakeThreads::CreateEvent() {
  m_state->events.push_back(std::make_unique<Event>());
  return m_state->events.back().get();
}

bool FakeThreads::SetEvent(EventHandle handle) {
  auto* event = static_cast<Event*>(handle);
  {
    std::lock_guard<std::mutex> lock(event->mutex);
    event->signalled = true;
  }
  event->changed.notify_all();
  return true;
}

void FakeThreads::WaitForSingleObject(EventHandle handle) {
  auto* event = static_cast<Event*>(handle);
  std::unique_lock<std::mutex> lock(event->mutex);
  event->changed.wait(lock, [event] { return event->signalled; });
  event->signalled = false;
}

// Events live as long as the fake: a late SetEvent never touches freed memory.
void FakeThreads::CloseHandle(EventHandle) {}
#endif

CallGate::CallGate(IThreads& threads)
    : m_threads(threads), m_entered(threads.CreateEvent()), m_released(threads.CreateEvent()) {}

CallGate::~CallGate() {
  m_threads.CloseHandle(m_entered);
  m_threads.CloseHandle(m_released);
}

void CallGate::Enter() {
  m_threads.SetEvent(m_entered);
  m_threads.WaitForSingleObject(m_released);
}

void CallGate::WaitEntered() { m_threads.WaitForSingleObject(m_entered); }

void CallGate::Release() { m_threads.SetEvent(m_released); }
