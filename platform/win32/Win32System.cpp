#include <windows.h>

// The interface's operations carry the plain names; the ANSI functions are called by theirs.
#undef GetVersionEx
#undef RegOpenKeyEx
#undef RegQueryValueEx
#undef GetComputerName

#include <cstring>

#include "platform/win32/SystemFunctions.h"
#include "platform/win32/Win32Platform.h"

namespace {

class CWin32System : public ISystem {
 public:
  void GetSystemInfo(SystemInfoRecord& record) override {
    SYSTEM_INFO info = {};
    ::GetSystemInfo(&info);
    record.processorType = info.dwProcessorType;
    record.processorLevel = info.wProcessorLevel;
    record.processorRevision = info.wProcessorRevision;
  }

  // 2000 and later only; bound at run time so the program still starts on older systems.
  bool HasGlobalMemoryStatusEx() override { return Kernel32Late().GlobalMemoryStatusEx != nullptr; }

  bool GlobalMemoryStatusEx(MemoryStatusRecord& record) override {
    const auto call = Kernel32Late().GlobalMemoryStatusEx;
    if (call == nullptr) return false;
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof(status);
    if (!call(&status)) return false;
    record.totalPhys = status.ullTotalPhys;
    record.availPhys = status.ullAvailPhys;
    return true;
  }

  void GlobalMemoryStatus(MemoryStatusRecord& record) override {
    MEMORYSTATUS status = {};
    status.dwLength = sizeof(status);
    ::GlobalMemoryStatus(&status);
    record.totalPhys = status.dwTotalPhys;
    record.availPhys = status.dwAvailPhys;
  }

  bool GetVersionEx(OsVersionRecord& record) override {
    static_assert(sizeof(OSVERSIONINFOEXA) == 156, "extended version record");
    static_assert(sizeof(OSVERSIONINFOA) == 148, "basic version record");
    OSVERSIONINFOEXA info = {};
    info.dwOSVersionInfoSize = record.size;
    if (!::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) return false;
    record.majorVersion = info.dwMajorVersion;
    record.minorVersion = info.dwMinorVersion;
    record.buildNumber = info.dwBuildNumber;
    record.platformId = info.dwPlatformId;
    std::memcpy(record.csdVersion, info.szCSDVersion, sizeof(record.csdVersion));
    record.servicePackMajor = info.wServicePackMajor;
    record.servicePackMinor = info.wServicePackMinor;
    record.suiteMask = info.wSuiteMask;
    record.productType = info.wProductType;
    record.reserved = info.wReserved;
    return true;
  }

  int32_t RegOpenKeyEx(const char* subKey, RegistryKey* key) override {
    HKEY opened = nullptr;
    LONG status = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey, 0, KEY_QUERY_VALUE, &opened);
    *key = opened;
    return status;
  }

  int32_t RegQueryValueEx(RegistryKey key, const char* valueName, uint8_t* data,
                          uint32_t* size) override {
    DWORD length = *size;
    LONG status = ::RegQueryValueExA(static_cast<HKEY>(key), valueName, nullptr, nullptr, data,
                                     &length);
    *size = length;
    return status;
  }

  void RegCloseKey(RegistryKey key) override { ::RegCloseKey(static_cast<HKEY>(key)); }

  bool GetComputerName(char* buffer, uint32_t* size) override {
    DWORD length = *size;
    BOOL ok = ::GetComputerNameA(buffer, &length);
    *size = length;
    return ok != FALSE;
  }
};

}  // namespace

ISystem& Win32System() {
  static CWin32System system;
  return system;
}
