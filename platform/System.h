#pragma once
// System information, the OS version record, the registry and the computer name.
#include <cstdint>

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
  // size: the buffer's size in characters in, the name's length out.
  virtual bool GetComputerName(char* buffer, uint32_t* size) = 0;
};
