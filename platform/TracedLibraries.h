#pragma once
// The platform's libraries with the bench libraries' loads and frees in the
// trace: for a load, the name asked for and the full path of the file that was
// really loaded; other libraries pass untouched.
#include "platform/Libraries.h"

class CTracedLibraries : public ILibraries {
 public:
  explicit CTracedLibraries(ILibraries& libraries) : m_libraries(libraries) {}
  ILibraries& Wrapped() const { return m_libraries; }

  ModuleHandle LoadLibrary(const char* name) override;
  ModuleHandle LoadLibraryReporting(const char* name, uint32_t& error) override;
  void FreeLibrary(ModuleHandle module) override;
  void* GetProcAddress(ModuleHandle module, const char* name) override {
    return m_libraries.GetProcAddress(module, name);
  }
  ModuleHandle GetModuleHandle(const char* name) override { return m_libraries.GetModuleHandle(name); }
  bool GetModuleFileName(ModuleHandle module, std::string& path) override {
    return m_libraries.GetModuleFileName(module, path);
  }
  uint32_t GetFileVersionInfoSize(const char* path) override { return m_libraries.GetFileVersionInfoSize(path); }
  bool GetFileVersionInfo(const char* path, uint32_t size, void* data) override {
    return m_libraries.GetFileVersionInfo(path, size, data);
  }
  bool VerQueryValue(const void* block, const char* subBlock, const void** value, uint32_t* length) override {
    return m_libraries.VerQueryValue(block, subBlock, value, length);
  }

 private:
  // A load as the trace shows it; error, where given, is the system's reason for a failure.
  ModuleHandle TracedLoad(const char* name, uint32_t* error);

  ILibraries& m_libraries;
};
