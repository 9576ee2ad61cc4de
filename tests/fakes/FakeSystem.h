#pragma once
// Scriptable system records, registry and computer name.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/System.h"

class FakeSystem : public ISystem {
 public:
  FakeSystem();

  SystemInfoRecord systemInfo;
  MemoryStatusRecord memory;
  // A system before 2000 has no extended memory status.
  bool hasMemoryStatusEx = true;
  bool memoryFails = false;
  // What the basic call gives: the totals cut to 32 bits.
  int basicMemoryCalls = 0;

  // Answers every record size that is not made to fail; the basic form (148)
  // gets the record without its extended fields.
  void SetVersion(uint32_t platformId, uint32_t major, uint32_t minor, uint32_t build,
                  const std::string& servicePack);
  void SetVersion(const OsVersionRecord& record) { m_version = record; }
  void FailVersionSize(uint32_t size) { m_failingSizes.insert(size); }
  const std::vector<uint32_t>& VersionSizesAsked() const { return m_sizesAsked; }

  // Values under HKEY_LOCAL_MACHINE; setting a value creates its key. A key of
  // view 32 or 64 is seen only in that view (a program's own view is 32 under
  // WOW64), one of view 0 in every view.
  void AddKey(const std::string& subKey, int32_t view = kRegistryViewOwn);
  void SetRegistryValue(const std::string& subKey, const std::string& name,
                        const std::string& bytes, uint32_t type = 3, int32_t view = kRegistryViewOwn);
  // A REG_SZ value: the text and its terminator.
  void SetRegistryString(const std::string& subKey, const std::string& name,
                         const std::string& text, int32_t view = kRegistryViewOwn);

  // The folders and the environment the library search reads.
  std::string systemDirectory = "C:\\WINNT\\system32";
  std::string windowsDirectory = "C:\\WINNT";
  std::string currentDirectory = "C:\\benchsentry";
  std::map<std::string, std::string> environment;
  int32_t programBits = 32;
  // 64-bit Windows under a 32-bit program, and which of its calls this Windows has.
  bool wow64 = false;
  bool hasIsWow64Process = true;
  bool hasRedirectionCalls = true;
  std::string wow64Directory = "C:\\WINNT\\SysWOW64";
  std::map<uint32_t, std::string> messages;
  // Redirection switched off and not yet back on.
  int redirectionOff = 0;
  // Where a program's path lies on the disk: the system folder of a 32-bit
  // program on 64-bit Windows is the 32-bit one while redirection is on.
  std::string Redirected(const std::string& path) const;
  // Keys opened and not yet closed.
  int OpenKeys() const { return m_openKeys; }

  void SetComputerName(const std::string& name) { m_computerName = name; }
  void FailComputerName(bool fail) { m_computerNameFails = fail; }

  void GetSystemInfo(SystemInfoRecord& record) override;
  bool HasGlobalMemoryStatusEx() override { return hasMemoryStatusEx; }
  bool GlobalMemoryStatusEx(MemoryStatusRecord& record) override;
  void GlobalMemoryStatus(MemoryStatusRecord& record) override;
  bool GetVersionEx(OsVersionRecord& record) override;
  int32_t RegOpenKeyEx(const char* subKey, RegistryKey* key) override;
  int32_t RegQueryValueEx(RegistryKey key, const char* valueName, uint8_t* data,
                          uint32_t* size) override;
  void RegCloseKey(RegistryKey key) override;
  bool GetComputerName(char* buffer, uint32_t* size) override;
  int32_t RegOpenKeyView(const char* subKey, int32_t view, RegistryKey* key) override;
  int32_t RegEnumValue(RegistryKey key, uint32_t index, std::string& name, uint32_t& type,
                       std::string& data) override;
  int32_t RegEnumKey(RegistryKey key, uint32_t index, std::string& name) override;
  bool GetSystemDirectory(std::string& path) override;
  bool GetWindowsDirectory(std::string& path) override;
  bool GetCurrentDirectory(std::string& path) override;
  bool GetEnvironmentVariable(const char* name, std::string& value) override;
  int32_t ProgramBits() override { return programBits; }
  LateCall IsWow64Process(bool& wow64) override;
  LateCall Wow64DisableWow64FsRedirection(void** previous) override;
  bool Wow64RevertWow64FsRedirection(void* previous) override;
  LateCall GetSystemWow64Directory(std::string& path) override;
  std::string FormatMessage(uint32_t code) override;

 private:
  struct Value {
    std::string name;
    uint32_t type = 3;
    std::string bytes;
  };
  struct Key {
    std::string path;
    int32_t view = kRegistryViewOwn;
    std::map<std::string, Value> values;  // by lower-cased name
  };
  Key* FindKey(const std::string& subKey, int32_t view = kRegistryViewOwn);

  OsVersionRecord m_version;
  std::set<uint32_t> m_failingSizes;
  std::vector<uint32_t> m_sizesAsked;
  std::vector<Key> m_keys;
  int m_openKeys = 0;
  std::string m_computerName = "BENCHPC";
  bool m_computerNameFails = false;
};

constexpr int32_t kFakeErrorFileNotFound = 2;
constexpr int32_t kFakeErrorMoreData = 234;
