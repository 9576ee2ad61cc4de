#pragma once
// Every copy of the VISA library a program of this width could get, in the
// order Windows searches for it, and what the registry says is installed.
// Read over the platform; the VISA Libraries check writes it.
#include <cstdint>
#include <string>
#include <vector>

#include "host/ImageType.h"

extern const char kVisa32Library[];  // "visa32.dll"
extern const char kVisa64Library[];  // "visa64.dll"
// The framework's key that VISA installers write (VXIplug&play installation
// and packaging): VXIPNPPATH and, on 64-bit Windows, VXIPNPPATH64.
extern const char kVisaFrameworkKey[];

struct CVisaFolder {
  std::string path;
  std::string roles;     // "program folder, current folder"
  bool searched = true;  // false: the system folder of the other width, noted only
  bool system = false;   // the system folder as this program sees it
};

struct CVisaCopy {
  std::string file;  // kVisa32Library or kVisa64Library
  std::string path;
  size_t folder = 0;  // into CVisaInventory::folders
  bool hasVersion = false;
  uint32_t versionMS = 0;
  uint32_t versionLS = 0;
  std::string productVersion;
  std::string publisher;
  CImageType image;
};

struct CRegistryEntry {
  std::string key;
  std::string name;  // empty: the key's default value
  std::string data;  // as a person reads it
};

struct CRegistryView {
  std::string label;  // "32-bit view", "64-bit view"; empty where Windows has one view
  int32_t view = 0;
  bool present = false;  // the framework's key is there
  std::vector<CRegistryEntry> entries;
};

struct CVisaInventory {
  int32_t programBits = 32;
  int32_t windowsBits = 0;  // 0: could not be told
  std::string windowsNote;  // how the width was told, when not plainly
  bool safeSearch = true;
  std::vector<CVisaFolder> folders;
  std::vector<CVisaCopy> copies;  // folder by folder, in search order
  // How the system folder of the other width was read, or why it was not.
  std::string otherFolderNote;
  // The system folder's real name where Windows redirects it (SysWOW64 for a
  // 32-bit program): the name a loaded module's path carries.
  std::string systemFolderAlias;
  std::vector<CRegistryView> registry;
};

CVisaInventory ReadVisaInventory();

// Paths name the same file: case, separators and a trailing backslash aside.
bool SamePath(const std::string& a, const std::string& b);
// The folder part of a path, without its trailing backslash.
std::string FolderOf(const std::string& path);
// path with the system folder's real name given as the name the program uses.
std::string ProgramPath(const CVisaInventory& inventory, const std::string& path);
// A registry value's data as a person reads it.
std::string RegistryDataText(uint32_t type, const std::string& data);
