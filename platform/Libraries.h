#pragma once
// Dynamic libraries and their version resources.
#include <cstdint>
#include <string>

using ModuleHandle = void*;

class ILibraries {
 public:
  virtual ~ILibraries() = default;
  // Null when the library cannot be loaded (the platform's search order applies).
  virtual ModuleHandle LoadLibrary(const char* name) = 0;
  // The same, with the system's error code when it cannot (0 when it loads),
  // and no message box of the system for a missing dependency.
  virtual ModuleHandle LoadLibraryReporting(const char* name, uint32_t& error) = 0;
  // Null when the module does not export the name.
  virtual void* GetProcAddress(ModuleHandle module, const char* name) = 0;
  virtual void FreeLibrary(ModuleHandle module) = 0;
  // A module already loaded in the process; a null name means the program itself.
  virtual ModuleHandle GetModuleHandle(const char* name) = 0;
  // Full path of a loaded module, at most 259 characters; false on failure.
  virtual bool GetModuleFileName(ModuleHandle module, std::string& path) = 0;

  // Size of the file's version-information resource; 0 when it has none.
  virtual uint32_t GetFileVersionInfoSize(const char* path) = 0;
  // Copies the resource into data (size bytes).
  virtual bool GetFileVersionInfo(const char* path, uint32_t size, void* data) = 0;
  // Looks a value up in a block read by GetFileVersionInfo; value points into the block.
  virtual bool VerQueryValue(const void* block, const char* subBlock, const void** value,
                             uint32_t* length) = 0;
};
