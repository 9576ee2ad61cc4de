#include "host/VisaInventory.h"

#include <cstdio>

#include "host/FileVersionInfo.h"
#include "host/LibraryProbe.h"
#include "platform/Platform.h"

const char kVisa32Library[] = "visa32.dll";
const char kVisa64Library[] = "visa64.dll";
const char kVisaFrameworkKey[] = "SOFTWARE\\VXIPNP_Alliance\\VXIPNP\\CurrentVersion";

namespace {

const char kSessionManagerKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr uint32_t kPlatformNt = 2;

std::string Normalised(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}

std::string Joined(const std::string& folder, const std::string& name) {
  return folder.empty() || folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

CVisaFolder* AddFolder(std::vector<CVisaFolder>& folders, const std::string& path, const char* role) {
  if (path.empty()) return nullptr;
  for (CVisaFolder& folder : folders) {
    // Windows looks into a folder twice where it is named twice, and finds the same.
    if (SamePath(folder.path, path)) {
      if (folder.roles.find(role) == std::string::npos) folder.roles += std::string(", ") + role;
      return &folder;
    }
  }
  folders.push_back({Normalised(path), role, true, false});
  return &folders.back();
}

// Safe DLL search mode puts the current folder after the Windows folder: set
// in the registry, else on from XP SP2 and 2003 on, off before.
bool SafeSearchMode(ISystem& system) {
  RegistryKey key = nullptr;
  if (system.RegOpenKeyEx(kSessionManagerKey, &key) == 0) {
    uint8_t data[4] = {};
    uint32_t size = sizeof(data);
    const int32_t status = system.RegQueryValueEx(key, "SafeDllSearchMode", data, &size);
    system.RegCloseKey(key);
    if (status == 0 && size == 4) return (data[0] | data[1] | data[2] | data[3]) != 0;
  }
  OsVersionRecord version;
  version.size = 156;
  if (!system.GetVersionEx(version)) {
    // NT 4.0 before SP4 and 95/98 know only the basic record, and no safe mode.
    version.size = 148;
    return !system.GetVersionEx(version);
  }
  if (version.platformId != kPlatformNt) return false;
  if (version.majorVersion != 5) return version.majorVersion > 5;
  return version.minorVersion > 1 || (version.minorVersion == 1 && version.servicePackMajor >= 2);
}

void TellWindowsWidth(ISystem& system, CVisaInventory& inventory) {
  if (inventory.programBits == 64) {
    inventory.windowsBits = 64;
    return;
  }
  bool wow64 = false;
  switch (system.IsWow64Process(wow64)) {
    case LateCall::Done:
      inventory.windowsBits = wow64 ? 64 : 32;
      break;
    case LateCall::Missing:
      inventory.windowsBits = 32;
      inventory.windowsNote = "this Windows has no IsWow64Process, which every 64-bit Windows has";
      break;
    case LateCall::Failed:
      inventory.windowsNote = "IsWow64Process failed";
      break;
  }
}

void AddCopies(CVisaInventory& inventory, size_t folder) {
  IFileSystem* files = GetPlatform().files;
  if (files == nullptr) return;
  for (const char* file : {kVisa32Library, kVisa64Library}) {
    std::vector<FindEntry> entries;
    if (!files->FindFiles(Joined(inventory.folders[folder].path, file).c_str(), entries)) continue;
    for (const FindEntry& entry : entries) {
      if (entry.isDirectory || !SameFileName(entry.name, file)) continue;
      CVisaCopy copy;
      copy.file = file;
      copy.path = Joined(inventory.folders[folder].path, entry.name);
      copy.folder = folder;
      CFileVersionInfo info;
      if (info.LoadFile(copy.path.c_str()) == 1) {
        copy.hasVersion = true;
        copy.versionMS = info.FileVersionMS();
        copy.versionLS = info.FileVersionLS();
        copy.productVersion = info.GetString("ProductVersion");
        copy.publisher = info.GetString("CompanyName");
      }
      copy.image = ReadImageType(copy.path.c_str());
      inventory.copies.push_back(copy);
    }
  }
}

// The system folder of the other width: 64-bit programs' seen by a 32-bit one
// with the file system redirection off for this thread (XP x64 and later), or
// the 32-bit programs' one named by GetSystemWow64Directory.
void AddOtherSystemFolder(ISystem& system, CVisaInventory& inventory) {
  if (inventory.windowsBits != 64) return;
  std::string path;
  if (inventory.programBits == 64) {
    if (system.GetSystemWow64Directory(path) != LateCall::Done) {
      inventory.otherFolderNote = "the 32-bit system folder cannot be named: GetSystemWow64Directory failed";
      return;
    }
    inventory.folders.push_back({Normalised(path), "32-bit system folder", false, false});
    AddCopies(inventory, inventory.folders.size() - 1);
    return;
  }
  system.GetSystemDirectory(path);
  if (system.GetSystemWow64Directory(inventory.systemFolderAlias) != LateCall::Done) {
    inventory.systemFolderAlias.clear();
  }
  void* previous = nullptr;
  const LateCall off = system.Wow64DisableWow64FsRedirection(&previous);
  if (off != LateCall::Done) {
    inventory.otherFolderNote = off == LateCall::Missing
                                    ? "the 64-bit system folder cannot be read: this Windows has no "
                                      "Wow64DisableWow64FsRedirection"
                                    : "the 64-bit system folder cannot be read: the file system redirection "
                                      "cannot be switched off";
    return;
  }
  inventory.folders.push_back(
      {Normalised(path), "64-bit system folder, read with the file system redirection off", false, false});
  AddCopies(inventory, inventory.folders.size() - 1);
  system.Wow64RevertWow64FsRedirection(previous);
}

void ReadRegistryKey(ISystem& system, CRegistryView& view, const std::string& key, bool withSubkeys) {
  RegistryKey opened = nullptr;
  if (system.RegOpenKeyView(key.c_str(), view.view, &opened) != 0) return;
  view.present = true;
  std::string name;
  std::string data;
  uint32_t type = 0;
  for (uint32_t i = 0; system.RegEnumValue(opened, i, name, type, data) == 0; ++i) {
    view.entries.push_back({key, name, RegistryDataText(type, data)});
  }
  std::vector<std::string> subkeys;
  for (uint32_t i = 0; withSubkeys && system.RegEnumKey(opened, i, name) == 0; ++i) subkeys.push_back(name);
  system.RegCloseKey(opened);
  for (const std::string& subkey : subkeys) ReadRegistryKey(system, view, key + "\\" + subkey, false);
}

void ReadRegistry(ISystem& system, CVisaInventory& inventory) {
  // Older Windows know no views: a flag they do not know may make the open fail.
  if (inventory.windowsBits == 64) {
    inventory.registry.push_back({"32-bit view", kRegistryView32, false, {}});
    inventory.registry.push_back({"64-bit view", kRegistryView64, false, {}});
  } else {
    inventory.registry.push_back({"", kRegistryViewOwn, false, {}});
  }
  for (CRegistryView& view : inventory.registry) ReadRegistryKey(system, view, kVisaFrameworkKey, true);
}

}  // namespace

bool SamePath(const std::string& a, const std::string& b) { return SameFileName(Normalised(a), Normalised(b)); }

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : Normalised(path.substr(0, slash + 1));
}

std::string ProgramPath(const CVisaInventory& inventory, const std::string& path) {
  if (inventory.systemFolderAlias.empty() || !SamePath(FolderOf(path), inventory.systemFolderAlias)) return path;
  for (const CVisaFolder& folder : inventory.folders) {
    if (folder.system) return Joined(folder.path, path.substr(path.find_last_of("\\/") + 1));
  }
  return path;
}

std::string RegistryDataText(uint32_t type, const std::string& data) {
  if (type == kRegistryString || type == kRegistryExpandString) return data.substr(0, data.find('\0'));
  if (type == kRegistryDword && data.size() == 4) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) value |= static_cast<uint32_t>(static_cast<unsigned char>(data[i])) << (8 * i);
    char text[32];
    std::snprintf(text, sizeof(text), "%lu (0x%08lX)", static_cast<unsigned long>(value), static_cast<unsigned long>(value));
    return text;
  }
  return "(type " + std::to_string(type) + ", " + std::to_string(data.size()) + " bytes)";
}

CVisaInventory ReadVisaInventory() {
  CVisaInventory inventory;
  ISystem* system = GetPlatform().system;
  ILibraries* libraries = GetPlatform().libraries;
  if (system == nullptr) return inventory;
  inventory.programBits = system->ProgramBits();
  TellWindowsWidth(*system, inventory);
  inventory.safeSearch = SafeSearchMode(*system);

  std::string program;
  if (libraries != nullptr && libraries->GetModuleFileName(libraries->GetModuleHandle(nullptr), program)) {
    program = FolderOf(program);
  }
  std::string current, systemFolder, windows, path;
  system->GetCurrentDirectory(current);
  system->GetSystemDirectory(systemFolder);
  system->GetWindowsDirectory(windows);
  OsVersionRecord version;
  version.size = 148;
  const bool nt = system->GetVersionEx(version) && version.platformId == kPlatformNt;
  const std::string oldSystem = nt && !windows.empty() ? Joined(windows, "System") : std::string();

  std::vector<CVisaFolder>& folders = inventory.folders;
  AddFolder(folders, program, "program folder");
  if (!inventory.safeSearch) AddFolder(folders, current, "current folder");
  if (CVisaFolder* folder = AddFolder(folders, systemFolder, "system folder")) folder->system = true;
  AddFolder(folders, oldSystem, "16-bit system folder");
  AddFolder(folders, windows, "Windows folder");
  if (inventory.safeSearch) AddFolder(folders, current, "current folder");
  if (system->GetEnvironmentVariable("PATH", path)) {
    size_t start = 0;
    while (start <= path.size()) {
      size_t end = path.find(';', start);
      if (end == std::string::npos) end = path.size();
      std::string entry = path.substr(start, end - start);
      while (!entry.empty() && entry.front() == ' ') entry.erase(0, 1);
      while (!entry.empty() && entry.back() == ' ') entry.pop_back();
      AddFolder(folders, entry, "PATH");
      start = end + 1;
    }
  }
  for (size_t folder = 0; folder < folders.size(); ++folder) AddCopies(inventory, folder);
  AddOtherSystemFolder(*system, inventory);
  ReadRegistry(*system, inventory);
  return inventory;
}
