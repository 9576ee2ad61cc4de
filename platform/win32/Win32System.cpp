#include <windows.h>

// The interface's operations carry the plain names; the ANSI functions are called by theirs.
#undef GetVersionEx
#undef RegOpenKeyEx
#undef RegQueryValueEx
#undef GetComputerName
#undef GetSystemDirectory
#undef GetWindowsDirectory
#undef GetCurrentDirectory
#undef GetEnvironmentVariable
#undef FormatMessage

#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/SystemFunctions.h"
#include "platform/win32/Win32Platform.h"

namespace {

// The registry views' access flags (not in the headers of the oldest targets).
constexpr REGSAM kWow64View64 = 0x0100;  // KEY_WOW64_64KEY
constexpr REGSAM kWow64View32 = 0x0200;  // KEY_WOW64_32KEY

// A text the call writes into a buffer of the size it asks for: size is the
// call's answer for an empty buffer, fill writes and returns the length.
template <class Fill>
bool ReadText(std::string& text, Fill fill) {
  char buffer[MAX_PATH + 1] = {};
  DWORD length = fill(buffer, static_cast<DWORD>(sizeof(buffer)));
  if (length == 0) return false;
  if (length < sizeof(buffer)) {
    text.assign(buffer, length);
    return true;
  }
  std::vector<char> longer(length + 1, '\0');
  const DWORD written = fill(longer.data(), length + 1);
  if (written == 0 || written > length) return false;
  text.assign(longer.data(), written);
  return true;
}

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

  int32_t RegOpenKeyView(const char* subKey, int32_t view, RegistryKey* key) override {
    const REGSAM flags = view == kRegistryView64 ? kWow64View64 : view == kRegistryView32 ? kWow64View32 : 0;
    HKEY opened = nullptr;
    LONG status = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey, 0, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | flags,
                                  &opened);
    *key = opened;
    return status;
  }

  int32_t RegEnumValue(RegistryKey key, uint32_t index, std::string& name, uint32_t& type,
                       std::string& data) override {
    // Names are at most 16383 characters; data of any size is read in two steps.
    std::vector<char> nameBuffer(16384, '\0');
    DWORD nameLength = static_cast<DWORD>(nameBuffer.size());
    DWORD valueType = 0;
    DWORD dataSize = 0;
    LONG status = ::RegEnumValueA(static_cast<HKEY>(key), index, nameBuffer.data(), &nameLength, nullptr, &valueType,
                                  nullptr, &dataSize);
    if (status != ERROR_SUCCESS) return status;
    std::vector<BYTE> bytes(dataSize + 1, 0);
    nameLength = static_cast<DWORD>(nameBuffer.size());
    status = ::RegEnumValueA(static_cast<HKEY>(key), index, nameBuffer.data(), &nameLength, nullptr, &valueType,
                             bytes.data(), &dataSize);
    if (status != ERROR_SUCCESS) return status;
    name.assign(nameBuffer.data(), nameLength);
    type = valueType;
    data.assign(reinterpret_cast<const char*>(bytes.data()), dataSize);
    return ERROR_SUCCESS;
  }

  int32_t RegEnumKey(RegistryKey key, uint32_t index, std::string& name) override {
    char buffer[256] = {};
    DWORD length = sizeof(buffer);
    FILETIME written = {};
    LONG status = ::RegEnumKeyExA(static_cast<HKEY>(key), index, buffer, &length, nullptr, nullptr, nullptr, &written);
    if (status == ERROR_SUCCESS) name.assign(buffer, length);
    return status;
  }

  bool GetComputerName(char* buffer, uint32_t* size) override {
    DWORD length = *size;
    BOOL ok = ::GetComputerNameA(buffer, &length);
    *size = length;
    return ok != FALSE;
  }

  bool GetSystemDirectory(std::string& path) override {
    return ReadText(path, [](char* buffer, DWORD size) { return ::GetSystemDirectoryA(buffer, size); });
  }

  bool GetWindowsDirectory(std::string& path) override {
    return ReadText(path, [](char* buffer, DWORD size) { return ::GetWindowsDirectoryA(buffer, size); });
  }

  bool GetCurrentDirectory(std::string& path) override {
    return ReadText(path, [](char* buffer, DWORD size) { return ::GetCurrentDirectoryA(size, buffer); });
  }

  bool GetEnvironmentVariable(const char* name, std::string& value) override {
    value.clear();
    // An empty variable and a missing one both answer 0; only the missing one sets the error.
    ::SetLastError(0);
    const bool read =
        ReadText(value, [name](char* buffer, DWORD size) { return ::GetEnvironmentVariableA(name, buffer, size); });
    return read || ::GetLastError() != ERROR_ENVVAR_NOT_FOUND;
  }

  int32_t ProgramBits() override { return static_cast<int32_t>(sizeof(void*) * 8); }

  LateCall IsWow64Process(bool& wow64) override {
    wow64 = false;
    const auto call = Kernel32Late().IsWow64Process;
    if (call == nullptr) return LateCall::Missing;
    BOOL answer = FALSE;
    if (!call(::GetCurrentProcess(), &answer)) return LateCall::Failed;
    wow64 = answer != FALSE;
    return LateCall::Done;
  }

  LateCall Wow64DisableWow64FsRedirection(void** previous) override {
    const auto call = Kernel32Late().Wow64DisableWow64FsRedirection;
    if (call == nullptr) return LateCall::Missing;
    return call(previous) ? LateCall::Done : LateCall::Failed;
  }

  bool Wow64RevertWow64FsRedirection(void* previous) override {
    const auto call = Kernel32Late().Wow64RevertWow64FsRedirection;
    return call != nullptr && call(previous) != FALSE;
  }

  LateCall GetSystemWow64Directory(std::string& path) override {
    const auto call = Kernel32Late().GetSystemWow64DirectoryA;
    if (call == nullptr) return LateCall::Missing;
    return ReadText(path, [call](char* buffer, DWORD size) { return static_cast<DWORD>(call(buffer, size)); })
               ? LateCall::Done
               : LateCall::Failed;
  }

  std::string FormatMessage(uint32_t code) override {
    char buffer[1024] = {};
    const DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                                          0, buffer, sizeof(buffer), nullptr);
    std::string text(buffer, length);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
  }
};

}  // namespace

ISystem& Win32System() {
  static CWin32System system;
  return system;
}
