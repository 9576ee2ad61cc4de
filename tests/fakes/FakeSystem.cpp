#include "tests/fakes/FakeSystem.h"

#include <cstdlib>
#include <cstring>
#include <iterator>

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
  // As Windows gives it: the number of "Service Pack N" in the extended record too.
  const size_t number = servicePack.find_first_of("0123456789");
  if (servicePack.rfind("Service Pack ", 0) == 0 && number != std::string::npos) {
    record.servicePackMajor = static_cast<uint16_t>(std::atoi(servicePack.c_str() + number));
  }
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

// A key of view 0 is seen in every view; the program's own view is the 32-bit
// one under WOW64 and the only one elsewhere.
FakeSystem::Key* FakeSystem::FindKey(const std::string& subKey, int32_t view) {
  if (view == kRegistryViewOwn && wow64) view = kRegistryView32;
  for (Key& key : m_keys) {
    if (FakeNamesEqual(key.path, subKey) && (key.view == kRegistryViewOwn || key.view == view)) return &key;
  }
  return nullptr;
}

void FakeSystem::AddKey(const std::string& subKey, int32_t view) {
  for (const Key& key : m_keys) {
    if (FakeNamesEqual(key.path, subKey) && key.view == view) return;
  }
  m_keys.push_back(Key{subKey, view, {}});
}

void FakeSystem::SetRegistryValue(const std::string& subKey, const std::string& name,
                                  const std::string& bytes, uint32_t type, int32_t view) {
  AddKey(subKey, view);
  for (Key& key : m_keys) {
    if (FakeNamesEqual(key.path, subKey) && key.view == view) key.values[LowerAscii(name)] = Value{name, type, bytes};
  }
}

void FakeSystem::SetRegistryString(const std::string& subKey, const std::string& name,
                                   const std::string& text, int32_t view) {
  SetRegistryValue(subKey, name, text + std::string(1, '\0'), kRegistryString, view);
}

int32_t FakeSystem::RegOpenKeyEx(const char* subKey, RegistryKey* key) {
  return RegOpenKeyView(subKey, kRegistryViewOwn, key);
}

int32_t FakeSystem::RegOpenKeyView(const char* subKey, int32_t view, RegistryKey* key) {
  Key* found = subKey != nullptr ? FindKey(subKey, view) : nullptr;
  if (found == nullptr || key == nullptr) return kFakeErrorFileNotFound;
  *key = found;
  ++m_openKeys;
  return 0;
}

int32_t FakeSystem::RegEnumValue(RegistryKey key, uint32_t index, std::string& name, uint32_t& type,
                                 std::string& data) {
  const Key* found = static_cast<const Key*>(key);
  if (found == nullptr || index >= found->values.size()) return kRegistryNoMoreItems;
  const Value& value = std::next(found->values.begin(), index)->second;
  name = value.name;
  type = value.type;
  data = value.bytes;
  return 0;
}

int32_t FakeSystem::RegEnumKey(RegistryKey key, uint32_t index, std::string& name) {
  const Key* parent = static_cast<const Key*>(key);
  if (parent == nullptr) return kRegistryNoMoreItems;
  const std::string prefix = parent->path + "\\";
  for (const Key& child : m_keys) {
    if (child.view != parent->view || child.path.size() <= prefix.size() ||
        !FakeNamesEqual(child.path.substr(0, prefix.size()), prefix) ||
        child.path.find('\\', prefix.size()) != std::string::npos) {
      continue;
    }
    if (index-- == 0) {
      name = child.path.substr(prefix.size());
      return 0;
    }
  }
  return kRegistryNoMoreItems;
}

bool FakeSystem::GetSystemDirectory(std::string& path) {
  path = systemDirectory;
  return !path.empty();
}

bool FakeSystem::GetWindowsDirectory(std::string& path) {
  path = windowsDirectory;
  return !path.empty();
}

bool FakeSystem::GetCurrentDirectory(std::string& path) {
  path = currentDirectory;
  return !path.empty();
}

bool FakeSystem::GetEnvironmentVariable(const char* name, std::string& value) {
  for (const auto& [variable, text] : environment) {
    if (name != nullptr && FakeNamesEqual(variable, name)) {
      value = text;
      return true;
    }
  }
  return false;
}

LateCall FakeSystem::IsWow64Process(bool& answer) {
  answer = wow64;
  return hasIsWow64Process ? LateCall::Done : LateCall::Missing;
}

LateCall FakeSystem::Wow64DisableWow64FsRedirection(void** previous) {
  if (!hasRedirectionCalls) return LateCall::Missing;
  if (!wow64) return LateCall::Failed;
  *previous = &redirectionOff;
  ++redirectionOff;
  return LateCall::Done;
}

bool FakeSystem::Wow64RevertWow64FsRedirection(void* previous) {
  if (previous != &redirectionOff || redirectionOff == 0) return false;
  --redirectionOff;
  return true;
}

LateCall FakeSystem::GetSystemWow64Directory(std::string& path) {
  if (!hasRedirectionCalls) return LateCall::Missing;
  path = wow64Directory;
  return wow64 || programBits == 64 ? LateCall::Done : LateCall::Failed;
}

std::string FakeSystem::FormatMessage(uint32_t code) {
  const auto found = messages.find(code);
  return found != messages.end() ? found->second : std::string();
}

std::string FakeSystem::Redirected(const std::string& path) const {
  const std::string folder = systemDirectory + "\\";
  if (!wow64 || redirectionOff > 0 || path.size() < folder.size() ||
      !FakeNamesEqual(path.substr(0, folder.size()), folder)) {
    return path;
  }
  return wow64Directory + "\\" + path.substr(folder.size());
}

int32_t FakeSystem::RegQueryValueEx(RegistryKey key, const char* valueName, uint8_t* data,
                                    uint32_t* size) {
  Key* found = static_cast<Key*>(key);
  if (found == nullptr || valueName == nullptr || size == nullptr) return kFakeErrorFileNotFound;
  auto value = found->values.find(LowerAscii(valueName));
  if (value == found->values.end()) return kFakeErrorFileNotFound;
  const std::string& bytes = value->second.bytes;
  const uint32_t needed = static_cast<uint32_t>(bytes.size());
  if (data != nullptr && needed > *size) {
    *size = needed;
    return kFakeErrorMoreData;
  }
  if (data != nullptr) std::memcpy(data, bytes.data(), needed);
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
