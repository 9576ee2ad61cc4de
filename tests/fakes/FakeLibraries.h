#pragma once
// A library table that maps a library name to functions compiled into the test,
// with version resources the version reader can query.
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Libraries.h"

struct FakeVersion {
  uint32_t fileVersionMS = 0;
  uint32_t fileVersionLS = 0;
  uint32_t signature = 0xFEEF04BD;
  bool hasFixedInfo = true;
  // Each entry: language in the low 16 bits, code page in the high 16 bits.
  // Empty: the resource has no translation table.
  std::vector<uint32_t> translations;
  std::optional<std::string> companyName;
  std::optional<std::string> productVersion;
  // Where companyName and productVersion live, e.g. "040904e4"; empty: the first
  // translation's table, or "040904e4" with no translation table.
  std::string stringTable;
  // Further values: table ("040704b0") -> value name -> text.
  std::map<std::string, std::map<std::string, std::string>> otherStrings;
  // GetFileVersionInfo fails although the size was reported.
  bool readFails = false;

  // Hostile resources. The size GetFileVersionInfoSize reports (0: what the
  // values need), and answers of VerQueryValue bent for a query ("\\",
  // "\\VarFileInfo\\Translation" or a string path): a pointer at offset from
  // the block's start, which may lie outside it, with any length.
  uint32_t reportedSize = 0;
  struct BentAnswer {
    int64_t offset;
    uint32_t length;
  };
  std::map<std::string, BentAnswer> bentAnswers;
};

struct FakeLibraryOptions {
  std::optional<FakeVersion> version;
  bool loadable = true;
  // The system's error code of a load that fails (126: the module or one of its
  // dependencies was not found; 193: not an image this program can load).
  uint32_t loadError = 126;
  // Where GetModuleFileName says the module lies; default: the system directory
  // for a name, the path itself for a path.
  std::string modulePath;
};

class FakeLibraries : public ILibraries {
 public:
  using Exports = std::map<std::string, void*>;

  FakeLibraries();

  // A name without directory puts the library on the search path; a full path
  // makes it loadable by that path only.
  void AddLibrary(const std::string& nameOrPath, Exports exports = {},
                  std::optional<FakeVersion> version = std::nullopt, bool loadable = true,
                  const std::string& modulePath = std::string());
  void AddLibrary(const std::string& nameOrPath, Exports exports,
                  const FakeLibraryOptions& options);
  // A library of the simulated bench ("zeb_32.dll", "visa32.dll", "kv740m_32.dll",
  // optionally one of its variants) on the search path, with its exports and
  // version resource; false when the bench has no such library.
  // The simulated bench's waits (slow listings, timeouts) do not sleep: they
  // advance the fake clock in use, if any, and are summed here.
  bool AddSimLibrary(const std::string& library, const std::string& variant = std::string());
  // The same where options say (the version resource is the library's): a
  // name with options.modulePath is the library the search finds there; a
  // path makes a copy loadable by that path only.
  bool AddSimLibrary(const std::string& library, const std::string& variant, FakeLibraryOptions options);
  // The version resource of a library (or variant) of the simulated bench.
  static std::optional<FakeVersion> SimVersion(const std::string& library, const std::string& variant);
  static int64_t SimulatedDelayMilliseconds();
  // The version resource of the program itself (GetModuleHandle(null)).
  void SetProgram(const std::string& path, std::optional<FakeVersion> version);
  void SetModuleFileNameFails(bool fails) { m_moduleFileNameFails = fails; }

  // How many times the library of that module path is loaded now.
  int LoadCount(const std::string& modulePath) const;
  // Sum over all libraries: 0 when every load was released.
  int TotalLoaded() const;
  // Every name handed to LoadLibrary, in order.
  const std::vector<std::string>& LoadRequests() const { return m_loadRequests; }

  ModuleHandle LoadLibrary(const char* name) override;
  ModuleHandle LoadLibraryReporting(const char* name, uint32_t& error) override;
  void* GetProcAddress(ModuleHandle module, const char* name) override;
  void FreeLibrary(ModuleHandle module) override;
  ModuleHandle GetModuleHandle(const char* name) override;
  bool GetModuleFileName(ModuleHandle module, std::string& path) override;
  uint32_t GetFileVersionInfoSize(const char* path) override;
  bool GetFileVersionInfo(const char* path, uint32_t size, void* data) override;
  bool VerQueryValue(const void* block, const char* subBlock, const void** value,
                     uint32_t* length) override;

  static const char kSystemDirectory[];  // "C:\\WINNT\\system32"

 private:
  struct Library {
    std::string name;        // file name, for the search path
    std::string modulePath;  // full path
    bool onSearchPath = false;
    Exports exports;
    std::optional<FakeVersion> version;
    bool loadable = true;
    uint32_t loadError = 126;
    int loadCount = 0;
    uint32_t fixed[13] = {};
    // Where each value lies in the block GetFileVersionInfo wrote.
    std::map<const void*, uint32_t> offsets;
  };

  Library* FindForLoad(const std::string& name);
  Library* FindLoaded(const std::string& name);
  Library* FindByPath(const std::string& path);
  Library* FromHandle(ModuleHandle module);
  static void PrepareFixed(Library& library);
  static uint32_t LayOut(Library& library);

  std::deque<Library> m_libraries;
  Library m_program;
  bool m_moduleFileNameFails = false;
  std::vector<std::string> m_loadRequests;
};

// ASCII case-insensitive equality of two names or paths.
bool FakeNamesEqual(const std::string& a, const std::string& b);
