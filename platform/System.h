#pragma once
// System information, the OS version record, the registry and the computer name.
#include <cstdint>
#include <string>

// The fields of the system-information record that the system reads.
struct SystemInfoRecord {
  uint32_t processorType = 0;
  uint16_t processorLevel = 0;
  uint16_t processorRevision = 0;
};

// Physical memory in bytes, as 64-bit totals (the extended memory status).
struct MemoryStatusRecord {
  uint64_t totalPhys = 0;
  uint64_t availPhys = 0;
};

// The OS version record in its extended form. `size` is set by the caller to
// 156 (extended form) or 148 (basic form); the platform may refuse a size.
struct OsVersionRecord {
  uint32_t size = 0;
  uint32_t majorVersion = 0;
  uint32_t minorVersion = 0;
  uint32_t buildNumber = 0;
  uint32_t platformId = 0;
  char csdVersion[128] = {};
  uint16_t servicePackMajor = 0;
  uint16_t servicePackMinor = 0;
  uint16_t suiteMask = 0;
  uint8_t productType = 0;
  uint8_t reserved = 0;
};

using RegistryKey = void*;

// Registry views of 64-bit Windows: the program's own, the 32-bit or the 64-bit one.
constexpr int32_t kRegistryViewOwn = 0;
constexpr int32_t kRegistryView32 = 32;
constexpr int32_t kRegistryView64 = 64;
// Value types of the registry.
constexpr uint32_t kRegistryString = 1;        // REG_SZ
constexpr uint32_t kRegistryExpandString = 2;  // REG_EXPAND_SZ
constexpr uint32_t kRegistryDword = 4;         // REG_DWORD
// Status past the last value or subkey of an enumeration.
constexpr int32_t kRegistryNoMoreItems = 259;

// A call that only newer Windows has, looked up at run time.
enum class LateCall { Done, Failed, Missing };

class ISystem {
 public:
  virtual ~ISystem() = default;
  virtual void GetSystemInfo(SystemInfoRecord& record) = 0;
  // The extended memory status is looked up at run time: older systems lack it.
  virtual bool HasGlobalMemoryStatusEx() = 0;
  // False when the call is missing or fails.
  virtual bool GlobalMemoryStatusEx(MemoryStatusRecord& record) = 0;
  // The basic memory status, present on every system; its totals are 32-bit.
  virtual void GlobalMemoryStatus(MemoryStatusRecord& record) = 0;
  // Fills the record according to record.size; false when the call fails.
  virtual bool GetVersionEx(OsVersionRecord& record) = 0;
  // Registry under HKEY_LOCAL_MACHINE with query-value access. Statuses: 0 success.
  virtual int32_t RegOpenKeyEx(const char* subKey, RegistryKey* key) = 0;
  // Reads the value's data; size is the buffer's size in, the data's size out.
  virtual int32_t RegQueryValueEx(RegistryKey key, const char* valueName, uint8_t* data,
                                  uint32_t* size) = 0;
  virtual void RegCloseKey(RegistryKey key) = 0;
  // For reading values and listing subkeys, in a view (kRegistryView...); older
  // Windows know only the program's own view.
  virtual int32_t RegOpenKeyView(const char* subKey, int32_t view, RegistryKey* key) = 0;
  // The index-th value of a key: name, type and data (kRegistryNoMoreItems past the last).
  virtual int32_t RegEnumValue(RegistryKey key, uint32_t index, std::string& name, uint32_t& type,
                               std::string& data) = 0;
  virtual int32_t RegEnumKey(RegistryKey key, uint32_t index, std::string& name) = 0;
  // size: the buffer's size in characters in, the name's length out.
  virtual bool GetComputerName(char* buffer, uint32_t* size) = 0;

  // The folders the library search goes through, as this program sees them.
  virtual bool GetSystemDirectory(std::string& path) = 0;
  virtual bool GetWindowsDirectory(std::string& path) = 0;
  virtual bool GetCurrentDirectory(std::string& path) = 0;
  // False when the variable is not set.
  virtual bool GetEnvironmentVariable(const char* name, std::string& value) = 0;
  // The width of this program's own image: 32 or 64.
  virtual int32_t ProgramBits() = 0;
  // 64-bit Windows' calls (XP SP2, XP x64 and later), each looked up at run time.
  virtual LateCall IsWow64Process(bool& wow64) = 0;
  // The file system redirection of a 32-bit program on 64-bit Windows, for this
  // thread: off (previous receives what revert needs) and back.
  virtual LateCall Wow64DisableWow64FsRedirection(void** previous) = 0;
  virtual bool Wow64RevertWow64FsRedirection(void* previous) = 0;
  // The system folder of 32-bit programs, as a 64-bit program names it.
  virtual LateCall GetSystemWow64Directory(std::string& path) = 0;
  // The system's text for an error code, without its line end; empty when it has none.
  virtual std::string FormatMessage(uint32_t code) = 0;
};
