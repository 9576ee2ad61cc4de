#include "platform/InstrumentThread.h"

#include <cstring>
#include <memory>
#include <string>

#include "platform/Platform.h"

namespace {

// Written by the window's thread before it signals start, read by the
// instrument thread after it has woken: the events order the two.
struct HandOver {
  IThreads* threads = nullptr;
  EventHandle start = nullptr;
  EventHandle done = nullptr;
  void (*call)(void*) = nullptr;
  void* context = nullptr;
  bool stop = false;
  bool running = false;
  IInstrumentWait* waiter = nullptr;
  std::unique_ptr<CInstrumentLibraries> libraries;
};

HandOver g_handOver;

void InstrumentThreadMain(void*) {
  HandOver& handOver = g_handOver;
  for (;;) {
    handOver.threads->WaitForSingleObject(handOver.start);
    if (handOver.stop) {
      handOver.threads->SetEvent(handOver.done);
      return;
    }
    handOver.call(handOver.context);
    handOver.threads->SetEvent(handOver.done);
  }
}

void CloseEvents(IThreads& threads) {
  if (g_handOver.start != nullptr) threads.CloseHandle(g_handOver.start);
  if (g_handOver.done != nullptr) threads.CloseHandle(g_handOver.done);
  g_handOver.start = nullptr;
  g_handOver.done = nullptr;
}

void WaitDone() {
  if (g_handOver.waiter != nullptr) {
    g_handOver.waiter->WaitForCall(g_handOver.done);
  } else {
    g_handOver.threads->WaitForSingleObject(g_handOver.done);
  }
}

}  // namespace

bool CInstrumentThread::Start() {
  if (Running()) return true;
  Platform platform = GetPlatform();
  IThreads* threads = platform.threads;
  if (threads == nullptr || platform.libraries == nullptr) return false;
  g_handOver.start = threads->CreateEvent();
  g_handOver.done = threads->CreateEvent();
  g_handOver.stop = false;
  // The thread reads these as it starts.
  g_handOver.threads = threads;
  if (g_handOver.start == nullptr || g_handOver.done == nullptr ||
      !threads->CreateThread(&InstrumentThreadMain, nullptr)) {
    CloseEvents(*threads);
    g_handOver.threads = nullptr;
    return false;
  }
  g_handOver.running = true;
  g_handOver.libraries = std::make_unique<CInstrumentLibraries>(*platform.libraries);
  platform.libraries = g_handOver.libraries.get();
  SetPlatform(platform);
  return true;
}

void CInstrumentThread::Stop() {
  if (!Running()) return;
  IThreads& threads = *g_handOver.threads;
  g_handOver.stop = true;
  threads.SetEvent(g_handOver.start);
  threads.WaitForSingleObject(g_handOver.done);
  Platform platform = GetPlatform();
  if (platform.libraries == g_handOver.libraries.get()) {
    platform.libraries = &g_handOver.libraries->Wrapped();
    SetPlatform(platform);
  }
  g_handOver.libraries.reset();
  CloseEvents(threads);
  g_handOver.running = false;
  g_handOver.threads = nullptr;
}

bool CInstrumentThread::Running() { return g_handOver.running; }

void CInstrumentThread::SetWaiter(IInstrumentWait* waiter) { g_handOver.waiter = waiter; }

void CInstrumentThread::Run(void (*call)(void*), void* context) {
  if (!Running()) {
    call(context);
    return;
  }
  g_handOver.call = call;
  g_handOver.context = context;
  g_handOver.threads->SetEvent(g_handOver.start);
  WaitDone();
}

bool CInstrumentLibraries::IsBenchLibrary(const char* nameOrPath) { return BenchLibraryFile(nameOrPath) != nullptr; }

const char* CInstrumentLibraries::BenchLibraryFile(const char* nameOrPath) {
  if (nameOrPath == nullptr) return nullptr;
  std::string name(nameOrPath);
  const size_t slash = name.find_last_of("\\/:");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  for (char& c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  if (name.size() > 4 && name.compare(name.size() - 4, 4, ".dll") == 0) name.resize(name.size() - 4);
  for (const char* bench : {"visa32.dll", "kv740m_32.dll", "zeb_32.dll"}) {
    if (name.size() + 4 == std::strlen(bench) && name.compare(0, name.size(), bench, name.size()) == 0) return bench;
  }
  return nullptr;
}

// Only the bench libraries go to the thread: a system library's start-up code
// waits on no instrument, and every hand-over costs the window two thread switches.
ModuleHandle CInstrumentLibraries::LoadLibrary(const char* name) {
  if (!IsBenchLibrary(name)) return m_libraries.LoadLibrary(name);
  ModuleHandle module = nullptr;
  auto call = [&] { module = m_libraries.LoadLibrary(name); };
  CInstrumentThread::Run(call);
  return module;
}

ModuleHandle CInstrumentLibraries::LoadLibraryReporting(const char* name, uint32_t& error) {
  if (!IsBenchLibrary(name)) return m_libraries.LoadLibraryReporting(name, error);
  ModuleHandle module = nullptr;
  // The error code belongs to the thread that loaded: it is read there.
  auto call = [&] { module = m_libraries.LoadLibraryReporting(name, error); };
  CInstrumentThread::Run(call);
  return module;
}

void CInstrumentLibraries::FreeLibrary(ModuleHandle module) {
  std::string path;
  // A module whose name cannot be read is freed where it may have been loaded.
  if (m_libraries.GetModuleFileName(module, path) && !IsBenchLibrary(path.c_str())) {
    m_libraries.FreeLibrary(module);
    return;
  }
  auto call = [&] { m_libraries.FreeLibrary(module); };
  CInstrumentThread::Run(call);
}
