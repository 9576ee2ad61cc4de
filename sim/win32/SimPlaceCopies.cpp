#include "sim/win32/SimPlaceCopies.h"

#include <windows.h>

namespace sim {
namespace {

constexpr REGSAM kView64 = 0x0100;  // KEY_WOW64_64KEY
constexpr REGSAM kView32 = 0x0200;  // KEY_WOW64_32KEY

using RedirectionFn = BOOL(WINAPI*)(void**);
using RevertFn = BOOL(WINAPI*)(void*);
using Wow64DirectoryFn = UINT(WINAPI*)(LPSTR, UINT);

FARPROC Kernel32(const char* name) { return GetProcAddress(GetModuleHandleA("kernel32.dll"), name); }

// A 32-bit program reaches the 64-bit system folder with the redirection off.
class CRedirectionOff {
 public:
  explicit CRedirectionOff(bool wanted) {
    const auto off = reinterpret_cast<RedirectionFn>(reinterpret_cast<void*>(Kernel32("Wow64DisableWow64FsRedirection")));
    m_off = wanted && sizeof(void*) == 4 && off != nullptr && off(&m_previous);
  }
  ~CRedirectionOff() {
    const auto revert = reinterpret_cast<RevertFn>(reinterpret_cast<void*>(Kernel32("Wow64RevertWow64FsRedirection")));
    if (m_off && revert != nullptr) revert(m_previous);
  }
  CRedirectionOff(const CRedirectionOff&) = delete;
  CRedirectionOff& operator=(const CRedirectionOff&) = delete;

 private:
  void* m_previous = nullptr;
  bool m_off = false;
};

template <class Call>
std::string Folder(Call call) {
  char path[MAX_PATH + 1] = {};
  const UINT length = call(path, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(path, length) : std::string();
}

// The folder a copy goes to, as the program under test names it.
std::string CopyFolder(const SimVisaCopy& copy, const std::string& programDir, const std::string& currentDir) {
  if (copy.folder == "program") return programDir;
  if (copy.folder == "current") return currentDir;
  if (copy.folder == "path") return copy.path;
  if (copy.folder == "windows") return Folder([](LPSTR path, UINT size) { return GetWindowsDirectoryA(path, size); });
  const auto wow64 = reinterpret_cast<Wow64DirectoryFn>(reinterpret_cast<void*>(Kernel32("GetSystemWow64DirectoryA")));
  if (copy.folder == "other_system" && sizeof(void*) == 8) {
    return Folder([wow64](LPSTR path, UINT size) { return wow64 != nullptr ? wow64(path, size) : 0u; });
  }
  return Folder([](LPSTR path, UINT size) { return GetSystemDirectoryA(path, size); });
}

HKEY OpenKey(const SimRegistryValue& value, bool create) {
  const REGSAM view = value.view == "64" ? kView64 : value.view == "32" ? kView32 : 0;
  HKEY key = nullptr;
  const LONG status = create ? RegCreateKeyExA(HKEY_LOCAL_MACHINE, value.key.c_str(), 0, nullptr, 0,
                                               KEY_SET_VALUE | view, nullptr, &key, nullptr)
                             : RegOpenKeyExA(HKEY_LOCAL_MACHINE, value.key.c_str(), 0, KEY_SET_VALUE | view, &key);
  return status == ERROR_SUCCESS ? key : nullptr;
}

}  // namespace

bool PlaceVisaCopies(const SimBench& bench, const std::string& libraryDir, const std::string& programDir,
                     const std::string& currentDir, CPlacedVisa& placed, std::string& error) {
  for (const SimVisaCopy& copy : bench.visaCopies) {
    const std::string folder = CopyFolder(copy, programDir, currentDir);
    const std::string source = libraryDir + (copy.variant.empty() ? "" : "\\variants\\" + copy.variant) + "\\visa32.dll";
    const std::string target = folder + "\\" + copy.file;
    const bool otherSystem = copy.folder == "other_system";
    if (copy.folder == "path") {
      CreateDirectoryA(folder.c_str(), nullptr);
      placed.pathFolders.push_back(folder);
    }
    CRedirectionOff redirection(otherSystem);
    if (folder.empty() || !CopyFileA(source.c_str(), target.c_str(), FALSE)) {
      error = "bench line " + std::to_string(copy.line) + ": " + source + " cannot be copied to " + target;
      return false;
    }
    placed.files.push_back({target, otherSystem});
  }
  for (const SimRegistryValue& value : bench.visaRegistry) {
    HKEY key = OpenKey(value, true);
    const bool written = key != nullptr &&
                         RegSetValueExA(key, value.name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.value.c_str()),
                                        static_cast<DWORD>(value.value.size() + 1)) == ERROR_SUCCESS;
    if (key != nullptr) RegCloseKey(key);
    if (!written) {
      error = "bench line " + std::to_string(value.line) + ": the registry value " + value.name + " cannot be written";
      return false;
    }
    placed.values.push_back(value);
  }
  return true;
}

void RemovePlacedVisa(const CPlacedVisa& placed) {
  for (const CPlacedFile& file : placed.files) {
    CRedirectionOff redirection(file.otherSystem);
    DeleteFileA(file.path.c_str());
  }
  for (const SimRegistryValue& value : placed.values) {
    HKEY key = OpenKey(value, false);
    if (key == nullptr) continue;
    RegDeleteValueA(key, value.name.c_str());
    RegCloseKey(key);
  }
}

}  // namespace sim
