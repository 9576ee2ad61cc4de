#include "tests/fakes/FakeThreads.h"

#ifdef _WIN32
struct FakeThreads::State {};
FakeThreads::FakeThreads() = default;
FakeThreads::~FakeThreads() = default;
bool FakeThreads::CreateThread(void (*)(void*), void*) { return false; }
EventHandle FakeThreads::CreateEvent() { return nullptr; }
bool FakeThreads::SetEvent(EventHandle) { return false; }
void FakeThreads::WaitForSingleObject(EventHandle) {}
#else
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

struct FakeThreads::State {
  struct Event {
    std::mutex mutex;
    std::condition_variable changed;
    bool signalled = false;
  };
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
  m_state->events.push_back(std::make_unique<State::Event>());
  return m_state->events.back().get();
}

bool FakeThreads::SetEvent(EventHandle handle) {
  auto* event = static_cast<State::Event*>(handle);
  std::lock_guard<std::mutex> lock(event->mutex);
  event->signalled = true;
  event->changed.notify_all();
  return true;
}

void FakeThreads::WaitForSingleObject(EventHandle handle) {
  auto* event = static_cast<State::Event*>(handle);
  std::unique_lock<std::mutex> lock(event->mutex);
  event->changed.wait(lock, [event] { return event->signalled; });
  event->signalled = false;
}
#endif
