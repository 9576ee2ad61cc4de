#pragma once
// The one thread that calls into the bench libraries. A driver call may block
// for minutes (the mainframe listing, an open or init of a silent instrument);
// on its own thread it leaves the window's thread free to answer the system.
// The calls still run one at a time and in the order the checks make them: the
// caller hands each over and waits for it. Until the thread is started (the
// run without a window, most tests) every call runs directly on the caller's
// thread.
#include "platform/Libraries.h"
#include "platform/Threads.h"

// The window's side of the wait: returns once done is signalled, serving the
// windows meanwhile.
class IInstrumentWait {
 public:
  virtual ~IInstrumentWait() = default;
  virtual void WaitForCall(EventHandle done) = 0;
};

class CInstrumentThread {
 public:
  // Starts the thread on the platform's threads and sends the platform's library
  // loading through it. False (calls stay direct) when it cannot.
  static bool Start();
  // Ends the thread and puts the platform's own libraries back.
  static void Stop();
  static bool Running();

  // Who waits while a call runs; null: a plain wait (nothing is served).
  static void SetWaiter(IInstrumentWait* waiter);

  // Runs call(context) on the instrument thread; returns when it has returned.
  static void Run(void (*call)(void* context), void* context);

  template <class Call>
  static void Run(Call& call) {
    Run([](void* context) { (*static_cast<Call*>(context))(); }, &call);
  }
};

// Loading and unloading of the bench libraries on the instrument thread: a
// library's start-up code is a call into it too. Lookups and version resources
// only read the file.
class CInstrumentLibraries : public ILibraries {
 public:
  explicit CInstrumentLibraries(ILibraries& libraries) : m_libraries(libraries) {}
  ILibraries& Wrapped() const { return m_libraries; }
  // visa32, kv740m_32 or zeb_32, by name or path, with or without ".dll".
  static bool IsBenchLibrary(const char* nameOrPath);
  // Its file name ("visa32.dll"), or null for any other library.
  static const char* BenchLibraryFile(const char* nameOrPath);

  ModuleHandle LoadLibrary(const char* name) override;
  ModuleHandle LoadLibraryReporting(const char* name, uint32_t& error) override;
  void* GetProcAddress(ModuleHandle module, const char* name) override {
    return m_libraries.GetProcAddress(module, name);
  }
  void FreeLibrary(ModuleHandle module) override;
  ModuleHandle GetModuleHandle(const char* name) override {
    return m_libraries.GetModuleHandle(name);
  }
  bool GetModuleFileName(ModuleHandle module, std::string& path) override {
    return m_libraries.GetModuleFileName(module, path);
  }
  uint32_t GetFileVersionInfoSize(const char* path) override {
    return m_libraries.GetFileVersionInfoSize(path);
  }
  bool GetFileVersionInfo(const char* path, uint32_t size, void* data) override {
    return m_libraries.GetFileVersionInfo(path, size, data);
  }
  bool VerQueryValue(const void* block, const char* subBlock, const void** value,
                     uint32_t* length) override {
    return m_libraries.VerQueryValue(block, subBlock, value, length);
  }

 private:
  ILibraries& m_libraries;
};
