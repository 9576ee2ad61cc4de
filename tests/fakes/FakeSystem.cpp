#include "tests/fakes/FakeSystem.h"

#include <cstring>

#include "tests/fakes/FakeLibraries.h"
#include "tests/fakes/FakeText.h"

FakeSystem::FakeSystem() {
  systemInfo.processorType = 586;
  systemInfo.processorLevel = 6;
  systemInfo.processorRevision = 0x0803;
  memory.totalPhys = 64ull << 20;
  memory.availPhys = 32ull << 20;
  SetVersion(2, 5, 0, 2195, "Service Pack 2");
}

void FakeSystem::SetVersion(uint32_t platformId, uint32_t major, uint32_t minor, uint32_t build,
                            const std::string& servicePack) {
  OsVersionRecord record;
  record.majorVersion = major;
  record.minorVersion = minor;
  record.buildNumber = build;
  record.platformId = platformId;
  std::strncpy(record.csdVersion, servicePack.c_str(), sizeof(record.csdVersion) - 1);
  m_version = record;
}

void FakeSystem::GetSystemInfo(SystemInfoRecord& record) { record = systemInfo; }

bool FakeSystem::GlobalMemoryStatusEx(MemoryStatusRecord& record) {
  if (!hasMemoryStatusEx || memoryFails) return false;
  record = memory;
  return true;
}

void FakeSystem::GlobalMemoryStatus(MemoryStatusRecord& record) {
  ++basicMemoryCalls;
  record.totalPhys = memory.totalPhys & 0xFFFFFFFFu;
  record.availPhys = memory.availPhys & 0xFFFFFFFFu;
}

bool FakeSystem::GetVersionEx(OsVersionRecord& record) {
  m_sizesAsked.push_back(record.size);
  if (m_failingSizes.count(record.size) != 0) return false;
  if (record.size != 156 && record.size != 148) return false;
  const uint32_t size = record.size;
  OsVersionRecord answer = m_version;
  answer.size = size;
  if (size == 148) {
    answer.servicePackMajor = 0;
    answer.servicePackMinor = 0;
    answer.suiteMask = 0;
    answer.productType = 0;
    answer.reserved = 0;
  }
  record = answer;
  return true;
}

FakeSystem::Key* FakeSystem::FindKey(const std::string& subKey) {
  for (Key& key : m_keys) {
    if (FakeNamesEqual(key.path, subKey)) return &key;
  }
  return nullptr;
}

void FakeSystem::AddKey(const std::string& subKey) {
  if (FindKey(subKey) == nullptr) m_keys.push_back(Key{subKey, {}});
}

void FakeSystem::SetRegistryValue(const std::string& subKey, const std::string& name,
                                  const std::string& bytes) {
  AddKey(subKey);
  FindKey(subKey)->values[LowerAscii(name)] = bytes;
}

void FakeSystem::SetRegistryString(const std::string& subKey, const std::string& name,
                                   const std::string& text) {
  SetRegistryValue(subKey, name, text + std::string(1, '\0'));
}

int32_t FakeSystem::RegOpenKeyEx(const char* subKey, RegistryKey* key) {
  Key* found = subKey != nullptr ? FindKey(subKey) : nullptr;
  if (found == nullptr || key == nullptr) return kFakeErrorFileNotFound;
  *key = found;
  ++m_openKeys;
  return 0;
}

int32_t FakeSystem::RegQueryValueEx(RegistryKey key, const char* valueName, uint8_t* data,
                                    uint32_t* size) {
  Key* found = static_cast<Key*>(key);
  if (found == nullptr || valueName == nullptr || size == nullptr) return kFakeErrorFileNotFound;
  auto value = found->values.find(LowerAscii(valueName));
  if (value == found->values.end()) return kFakeErrorFileNotFound;
  const uint32_t needed = static_cast<uint32_t>(value->second.size());
  if (data != nullptr && needed > *size) {
    *size = needed;
    return kFakeErrorMoreData;
  }
  if (data != nullptr) std::memcpy(data, value->second.data(), needed);
  *size = needed;
  return 0;
}

void FakeSystem::RegCloseKey(RegistryKey key) {
  if (key != nullptr && m_openKeys > 0) --m_openKeys;
}

bool FakeSystem::GetComputerName(char* buffer, uint32_t* size) {
  if (m_computerNameFails || buffer == nullptr || size == nullptr) return false;
  const uint32_t length = static_cast<uint32_t>(m_computerName.size());
  if (length + 1 > *size) {
    *size = length + 1;
    return false;
  }
  std::memcpy(buffer, m_computerName.c_str(), length + 1);
  *size = length;
  return true;
}
