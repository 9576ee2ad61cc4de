#include "tests/fakes/FakeLibraries.h"

#include <cstdio>
#include <cstring>

#include "platform/Platform.h"
#include "sim/SimExports.h"
#include "tests/fakes/DriverJournal.h"
#include "tests/fakes/FakeClock.h"
#include "tests/fakes/FakeSystem.h"

const char FakeLibraries::kSystemDirectory[] = "C:\\WINNT\\system32";

namespace {

int64_t g_simulatedDelay = 0;

void AdvanceInsteadOfSleeping(int32_t milliseconds) {
  g_simulatedDelay += milliseconds;
  // The clock of the C library runs at 1000 ticks a second on the target.
  if (auto* clock = dynamic_cast<FakeClock*>(GetPlatform().clock)) clock->Advance(milliseconds);
}

constexpr uint32_t kBlockMagic = 0x4B4C4246;  // marks a block handed out by this fake

struct Block {
  uint32_t magic;
  uint32_t index;  // into the table; 0xFFFFFFFF for the program
};

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string FileNamePart(const std::string& path) {
  size_t slash = path.find_last_of("\\/:");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool HasDirectory(const std::string& name) {
  return name.find_first_of("\\/:") != std::string::npos;
}

// The platform appends ".dll" to a name without extension; a trailing point
// means "no extension".
std::string WithDefaultExtension(const std::string& name) {
  std::string file = FileNamePart(name);
  if (!file.empty() && file.back() == '.') return name.substr(0, name.size() - 1);
  if (file.find('.') == std::string::npos) return name + ".dll";
  return name;
}

std::string TableName(uint32_t translation) {
  char text[16] = {};
  std::snprintf(text, sizeof(text), "%04x%04x", translation & 0xFFFF, translation >> 16);
  return text;
}

}  // namespace

bool FakeNamesEqual(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i] == '/' ? '\\' : Lower(a[i]);
    char y = b[i] == '/' ? '\\' : Lower(b[i]);
    if (x != y) return false;
  }
  return true;
}

FakeLibraries::FakeLibraries() {
  m_program.name = "benchsentry.exe";
  m_program.modulePath = "C:\\benchsentry\\benchsentry.exe";
  m_program.loadCount = 1;
}

void FakeLibraries::AddLibrary(const std::string& nameOrPath, Exports exports,
                               std::optional<FakeVersion> version, bool loadable,
                               const std::string& modulePath) {
  FakeLibraryOptions options;
  options.version = std::move(version);
  options.loadable = loadable;
  options.modulePath = modulePath;
  AddLibrary(nameOrPath, std::move(exports), options);
}

void FakeLibraries::AddLibrary(const std::string& nameOrPath, Exports exports,
                               const FakeLibraryOptions& options) {
  Library library;
  library.name = FileNamePart(nameOrPath);
  library.onSearchPath = !HasDirectory(nameOrPath);
  if (!options.modulePath.empty()) library.modulePath = options.modulePath;
  else if (library.onSearchPath) library.modulePath = std::string(kSystemDirectory) + "\\" + nameOrPath;
  else library.modulePath = nameOrPath;
  library.exports = std::move(exports);
  library.version = options.version;
  library.loadable = options.loadable;
  library.loadError = options.loadError;
  PrepareFixed(library);
  m_libraries.push_back(std::move(library));
}

int64_t FakeLibraries::SimulatedDelayMilliseconds() { return g_simulatedDelay; }

bool FakeLibraries::AddSimLibrary(const std::string& library, const std::string& variant) {
  return AddSimLibrary(library, variant, FakeLibraryOptions());
}

bool FakeLibraries::AddSimLibrary(const std::string& library, const std::string& variant,
                                  FakeLibraryOptions options) {
  SimSetDelayHook(&AdvanceInsteadOfSleeping);
  const std::vector<SimExport>* exports = SimLibraryExports(FileNamePart(library), variant);
  if (exports == nullptr) return false;
  Exports table;
  // The driver's calls are journaled, so tests can check their order.
  for (const SimExport& entry : *exports) {
    void* journaled = JournaledDriverFunction(entry.name);
    table[entry.name] = journaled != nullptr ? journaled : entry.address;
  }
  options.version = SimVersion(FileNamePart(library), variant);
  std::string name = library;
  if (WithDefaultExtension(name) != name) name = WithDefaultExtension(name);
  AddLibrary(name, std::move(table), options);
  return true;
}

std::optional<FakeVersion> FakeLibraries::SimVersion(const std::string& library, const std::string& variant) {
  const SimVersionInfo* info = SimLibraryVersion(library, variant);
  if (info == nullptr) return std::nullopt;
  FakeVersion resource;
  resource.fileVersionMS = info->fileVersionMS;
  resource.fileVersionLS = info->fileVersionLS;
  resource.translations = {0x04E40409};
  resource.companyName = info->companyName;
  resource.productVersion = info->productVersion;
  resource.otherStrings["040904e4"]["FileDescription"] = info->fileDescription;
  resource.otherStrings["040904e4"]["FileVersion"] = info->fileVersionText;
  return resource;
}

void FakeLibraries::SetProgram(const std::string& path, std::optional<FakeVersion> version) {
  m_program.name = FileNamePart(path);
  m_program.modulePath = path;
  m_program.version = std::move(version);
  PrepareFixed(m_program);
}

void FakeLibraries::PrepareFixed(Library& library) {
  std::memset(library.fixed, 0, sizeof(library.fixed));
  if (!library.version) return;
  library.fixed[0] = library.version->signature;
  library.fixed[1] = 0x00010000;
  library.fixed[2] = library.version->fileVersionMS;
  library.fixed[3] = library.version->fileVersionLS;
  library.fixed[4] = library.version->fileVersionMS;
  library.fixed[5] = library.version->fileVersionLS;
}

int FakeLibraries::LoadCount(const std::string& modulePath) const {
  for (const Library& library : m_libraries) {
    if (FakeNamesEqual(library.modulePath, modulePath)) return library.loadCount;
  }
  return 0;
}

int FakeLibraries::TotalLoaded() const {
  int total = 0;
  for (const Library& library : m_libraries) total += library.loadCount;
  return total;
}

FakeLibraries::Library* FakeLibraries::FindForLoad(const std::string& requested) {
  const std::string name = WithDefaultExtension(requested);
  for (Library& library : m_libraries) {
    if (HasDirectory(name)) {
      if (FakeNamesEqual(library.modulePath, name)) return &library;
    } else if (library.onSearchPath && FakeNamesEqual(library.name, name)) {
      return &library;
    }
  }
  return nullptr;
}

FakeLibraries::Library* FakeLibraries::FindLoaded(const std::string& requested) {
  const std::string name = WithDefaultExtension(requested);
  for (Library& library : m_libraries) {
    if (library.loadCount == 0) continue;
    if (HasDirectory(name) ? FakeNamesEqual(library.modulePath, name)
                           : FakeNamesEqual(library.name, name)) {
      return &library;
    }
  }
  return nullptr;
}

FakeLibraries::Library* FakeLibraries::FindByPath(const std::string& programPath) {
  const auto* system = dynamic_cast<const FakeSystem*>(GetPlatform().system);
  const std::string path = system != nullptr ? system->Redirected(programPath) : programPath;
  if (FakeNamesEqual(m_program.modulePath, path)) return &m_program;
  for (Library& library : m_libraries) {
    if (FakeNamesEqual(library.modulePath, path)) return &library;
  }
  return nullptr;
}

FakeLibraries::Library* FakeLibraries::FromHandle(ModuleHandle module) {
  if (module == &m_program) return &m_program;
  for (Library& library : m_libraries) {
    if (module == &library) return &library;
  }
  return nullptr;
}

ModuleHandle FakeLibraries::LoadLibrary(const char* name) {
  m_loadRequests.emplace_back(name != nullptr ? name : "");
  if (name == nullptr) return nullptr;
  Library* library = FindForLoad(name);
  if (library == nullptr || !library->loadable) return nullptr;
  ++library->loadCount;
  return library;
}

ModuleHandle FakeLibraries::LoadLibraryReporting(const char* name, uint32_t& error) {
  ModuleHandle module = LoadLibrary(name);
  Library* library = name != nullptr ? FindForLoad(name) : nullptr;
  error = module != nullptr ? 0 : library != nullptr ? library->loadError : 126;
  return module;
}

void* FakeLibraries::GetProcAddress(ModuleHandle module, const char* name) {
  Library* library = FromHandle(module);
  if (library == nullptr || name == nullptr) return nullptr;
  auto found = library->exports.find(name);
  return found == library->exports.end() ? nullptr : found->second;
}

void FakeLibraries::FreeLibrary(ModuleHandle module) {
  Library* library = FromHandle(module);
  if (library != nullptr && library != &m_program && library->loadCount > 0) --library->loadCount;
}

ModuleHandle FakeLibraries::GetModuleHandle(const char* name) {
  if (name == nullptr) return &m_program;
  return FindLoaded(name);
}

bool FakeLibraries::GetModuleFileName(ModuleHandle module, std::string& path) {
  if (m_moduleFileNameFails) return false;
  Library* library = module == nullptr ? &m_program : FromHandle(module);
  if (library == nullptr) return false;
  path = library->modulePath;
  return true;
}

// The block holds the header, then every value the resource answers with, so
// that each answer points into the block as the platform's does.
uint32_t FakeLibraries::LayOut(Library& library) {
  library.offsets.clear();
  uint32_t offset = sizeof(Block);
  auto place = [&](const void* value, size_t bytes) {
    library.offsets[value] = offset;
    offset += static_cast<uint32_t>(bytes);
  };
  FakeVersion& version = *library.version;
  place(library.fixed, sizeof(library.fixed));
  place(version.translations.data(), version.translations.size() * sizeof(uint32_t));
  if (version.companyName) place(version.companyName->c_str(), version.companyName->size() + 1);
  if (version.productVersion) place(version.productVersion->c_str(), version.productVersion->size() + 1);
  for (const auto& [table, values] : version.otherStrings) {
    for (const auto& [name, text] : values) place(text.c_str(), text.size() + 1);
  }
  return offset;
}

uint32_t FakeLibraries::GetFileVersionInfoSize(const char* path) {
  Library* library = path != nullptr ? FindByPath(path) : nullptr;
  if (library == nullptr || !library->version) return 0;
  const uint32_t needed = LayOut(*library);
  return library->version->reportedSize != 0 ? library->version->reportedSize : needed;
}

bool FakeLibraries::GetFileVersionInfo(const char* path, uint32_t size, void* data) {
  Library* library = path != nullptr ? FindByPath(path) : nullptr;
  if (library == nullptr || !library->version || library->version->readFails ||
      size < LayOut(*library)) {
    return false;
  }
  Block block = {kBlockMagic, 0xFFFFFFFFu};
  for (size_t i = 0; i < m_libraries.size(); ++i) {
    if (&m_libraries[i] == library) block.index = static_cast<uint32_t>(i);
  }
  uint8_t* bytes = static_cast<uint8_t*>(data);
  std::memset(bytes, 0, size);
  std::memcpy(bytes, &block, sizeof(block));
  const FakeVersion& version = *library->version;
  auto copy = [&](const void* value, size_t length) {
    if (length > 0) std::memcpy(bytes + library->offsets.at(value), value, length);
  };
  copy(library->fixed, sizeof(library->fixed));
  copy(version.translations.data(), version.translations.size() * sizeof(uint32_t));
  if (version.companyName) copy(version.companyName->c_str(), version.companyName->size() + 1);
  if (version.productVersion) copy(version.productVersion->c_str(), version.productVersion->size() + 1);
  for (const auto& [table, values] : version.otherStrings) {
    for (const auto& [name, text] : values) copy(text.c_str(), text.size() + 1);
  }
  return true;
}

bool FakeLibraries::VerQueryValue(const void* data, const char* subBlock, const void** value,
                                  uint32_t* length) {
  if (data == nullptr || subBlock == nullptr || value == nullptr || length == nullptr) return false;
  Block block = {};
  std::memcpy(&block, data, sizeof(block));
  if (block.magic != kBlockMagic) return false;
  Library* library = block.index == 0xFFFFFFFFu ? &m_program
                     : block.index < m_libraries.size() ? &m_libraries[block.index]
                                                        : nullptr;
  if (library == nullptr || !library->version) return false;
  const FakeVersion& version = *library->version;

  const std::string query(subBlock);
  for (const auto& [bent, answer] : version.bentAnswers) {
    if (!FakeNamesEqual(bent, query)) continue;
    *value = reinterpret_cast<const void*>(reinterpret_cast<uintptr_t>(data) +
                                           static_cast<uintptr_t>(answer.offset));
    *length = answer.length;
    return true;
  }
  // The answer: where the value lies in the caller's block.
  auto answer = [&](const void* source, size_t bytes) {
    *value = static_cast<const uint8_t*>(data) + library->offsets.at(source);
    *length = static_cast<uint32_t>(bytes);
    return true;
  };
  if (query == "\\") {
    if (!version.hasFixedInfo) return false;
    return answer(library->fixed, sizeof(library->fixed));
  }
  if (FakeNamesEqual(query, "\\VarFileInfo\\Translation")) {
    if (version.translations.empty()) return false;
    return answer(version.translations.data(), version.translations.size() * sizeof(uint32_t));
  }

  const std::string prefix = "\\StringFileInfo\\";
  if (query.size() <= prefix.size() + 9 || !FakeNamesEqual(query.substr(0, prefix.size()), prefix) ||
      query[prefix.size() + 8] != '\\') {
    return false;
  }
  const std::string table = query.substr(prefix.size(), 8);
  const std::string valueName = query.substr(prefix.size() + 9);

  std::string mainTable = version.stringTable;
  if (mainTable.empty()) {
    mainTable = version.translations.empty() ? "040904e4" : TableName(version.translations[0]);
  }
  const std::string* found = nullptr;
  if (FakeNamesEqual(table, mainTable)) {
    if (FakeNamesEqual(valueName, "CompanyName") && version.companyName) found = &*version.companyName;
    if (FakeNamesEqual(valueName, "ProductVersion") && version.productVersion) {
      found = &*version.productVersion;
    }
  }
  if (found == nullptr) {
    for (const auto& [otherTable, values] : version.otherStrings) {
      if (!FakeNamesEqual(otherTable, table)) continue;
      for (const auto& [name, text] : values) {
        if (FakeNamesEqual(name, valueName)) found = &text;
      }
    }
  }
  if (found == nullptr) return false;
  return answer(found->c_str(), found->size() + 1);
}
