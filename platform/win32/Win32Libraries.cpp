#include <windows.h>
#include <winver.h>

// The interface's operations carry the plain names; the ANSI functions are called by theirs.
#undef LoadLibrary
#undef GetModuleHandle
#undef GetModuleFileName
#undef GetFileVersionInfoSize
#undef GetFileVersionInfo
#undef VerQueryValue

#include <cstring>

#include "platform/win32/Win32Platform.h"

namespace {

class CWin32Libraries : public ILibraries {
 public:
  ModuleHandle LoadLibrary(const char* name) override { return ::LoadLibraryA(name); }

  // A missing dependency would otherwise stop older Windows with a message box
  // that nobody may be there to answer.
  ModuleHandle LoadLibraryReporting(const char* name, uint32_t& error) override {
    const UINT previous = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    ::SetLastError(0);
    HMODULE module = ::LoadLibraryA(name);
    error = module != nullptr ? 0 : ::GetLastError();
    ::SetErrorMode(previous);
    return module;
  }

  void* GetProcAddress(ModuleHandle module, const char* name) override {
    FARPROC function = ::GetProcAddress(static_cast<HMODULE>(module), name);
    void* address = nullptr;
    static_assert(sizeof(address) == sizeof(function), "code and data pointers differ");
    std::memcpy(&address, &function, sizeof(address));
    return address;
  }

  void FreeLibrary(ModuleHandle module) override { ::FreeLibrary(static_cast<HMODULE>(module)); }

  ModuleHandle GetModuleHandle(const char* name) override { return ::GetModuleHandleA(name); }

  bool GetModuleFileName(ModuleHandle module, std::string& path) override {
    char buffer[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameA(static_cast<HMODULE>(module), buffer, MAX_PATH);
    // A full buffer means the path was cut.
    if (length == 0 || length >= MAX_PATH) return false;
    path.assign(buffer, length);
    return true;
  }

  uint32_t GetFileVersionInfoSize(const char* path) override {
    DWORD handle = 0;
    return ::GetFileVersionInfoSizeA(path, &handle);
  }

  bool GetFileVersionInfo(const char* path, uint32_t size, void* data) override {
    return ::GetFileVersionInfoA(path, 0, size, data) != FALSE;
  }

  bool VerQueryValue(const void* block, const char* subBlock, const void** value,
                     uint32_t* length) override {
    void* found = nullptr;
    UINT size = 0;
    if (!::VerQueryValueA(block, subBlock, &found, &size)) return false;
    *value = found;
    *length = size;
    return true;
  }
};

}  // namespace

ILibraries& Win32Libraries() {
  static CWin32Libraries libraries;
  return libraries;
}
