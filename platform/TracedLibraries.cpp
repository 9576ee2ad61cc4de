#include "platform/TracedLibraries.h"

#include <string>

#include "platform/CallTrace.h"
#include "platform/InstrumentThread.h"

ModuleHandle CTracedLibraries::LoadLibrary(const char* name) { return TracedLoad(name, nullptr); }

ModuleHandle CTracedLibraries::LoadLibraryReporting(const char* name, uint32_t& error) {
  return TracedLoad(name, &error);
}

ModuleHandle CTracedLibraries::TracedLoad(const char* name, uint32_t* error) {
  const auto load = [&] {
    return error != nullptr ? m_libraries.LoadLibraryReporting(name, *error) : m_libraries.LoadLibrary(name);
  };
  const char* library = CInstrumentLibraries::BenchLibraryFile(name);
  if (library == nullptr || !CCallTrace::Active()) return load();
  CTraceEntry entry;
  entry.sequence = CCallTrace::Take();
  entry.library = library;
  entry.function = "LoadLibrary";
  const bool lines = CCallTrace::KeepsLines();
  if (lines) entry.arguments = "name=" + QuoteTraceText(name);
  entry.start = CCallTrace::Now();
  ModuleHandle module = load();
  entry.duration = CCallTrace::Now() - entry.start;
  entry.result = module != nullptr ? CallResult::Ok : CallResult::Error;
  if (lines) {
    // The file the system really took, which the name alone does not say.
    std::string path;
    if (module == nullptr) {
      entry.outputs = "module=NULL";
      if (error != nullptr) entry.outputs += " error=" + std::to_string(*error);
    } else if (m_libraries.GetModuleFileName(module, path)) {
      entry.outputs = "path=" + QuoteTraceText(path);
    }
  }
  CCallTrace::Record(entry);
  return module;
}

void CTracedLibraries::FreeLibrary(ModuleHandle module) {
  std::string path;
  const char* library = m_libraries.GetModuleFileName(module, path) ? CInstrumentLibraries::BenchLibraryFile(path.c_str())
                                                                    : nullptr;
  if (library == nullptr || !CCallTrace::Active()) {
    m_libraries.FreeLibrary(module);
    return;
  }
  CTraceEntry entry;
  entry.sequence = CCallTrace::Take();
  entry.library = library;
  entry.function = "FreeLibrary";
  if (CCallTrace::KeepsLines()) entry.arguments = "path=" + QuoteTraceText(path);
  entry.start = CCallTrace::Now();
  m_libraries.FreeLibrary(module);
  entry.duration = CCallTrace::Now() - entry.start;
  CCallTrace::Record(entry);
}
