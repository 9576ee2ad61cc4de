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

  // Values under HKEY_LOCAL_MACHINE; setting a value creates its key.
  void AddKey(const std::string& subKey);
  void SetRegistryValue(const std::string& subKey, const std::string& name,
                        const std::string& bytes);
  // A REG_SZ value: the text and its terminator.
  void SetRegistryString(const std::string& subKey, const std::string& name,
                         const std::string& text);
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

 private:
  struct Key {
    std::string path;
    std::map<std::string, std::string> values;  // names lower-cased
  };
  Key* FindKey(const std::string& subKey);

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
