#include "host/FileVersionInfo.h"

#include <cstdio>
#include <cstring>

#include "platform/Platform.h"
#include "report/LayerCheck.h"

namespace {

// Real version resources are a few kilobytes; a size beyond this is a broken answer.
constexpr uint32_t kMaxVersionInfoSize = 1u << 20;

std::string Decimal(uint32_t value) { return std::to_string(value); }

// A version resource comes from any DLL on the PC: an answer counts only when
// all of it lies inside the block that was read.
bool InsideBlock(const std::vector<uint8_t>& block, const void* value, uint64_t bytes) {
  if (value == nullptr || block.empty()) return false;
  const uintptr_t begin = reinterpret_cast<uintptr_t>(block.data());
  const uintptr_t at = reinterpret_cast<uintptr_t>(value);
  if (at < begin || at - begin > block.size()) return false;
  return bytes <= block.size() - (at - begin);
}

}  // namespace

const uint8_t* CFileVersionInfo::Query(const char* subBlock, uint32_t& length) const {
  ILibraries* libraries = GetPlatform().libraries;
  const void* value = nullptr;
  length = 0;
  if (libraries == nullptr || !libraries->VerQueryValue(m_data.data(), subBlock, &value, &length) ||
      !InsideBlock(m_data, value, length)) {
    return nullptr;
  }
  return static_cast<const uint8_t*>(value);
}

CFileVersionInfo::CFileVersionInfo() = default;

CFileVersionInfo::~CFileVersionInfo() = default;

int CFileVersionInfo::Load(const char* moduleName) {
  m_codePage = kDefaultCodePage;
  m_language = kDefaultLanguage;
  m_fixed = FixedFileInfo();

  ILibraries* libraries = GetPlatform().libraries;
  if (libraries == nullptr) return 0;

  ModuleHandle module = libraries->GetModuleHandle(moduleName);
  if (module == nullptr && moduleName != nullptr) return 0;

  std::string path;
  if (!libraries->GetModuleFileName(module, path) || path.empty()) return 0;
  return LoadFile(path.c_str());
}

int CFileVersionInfo::LoadFile(const char* path) {
  m_codePage = kDefaultCodePage;
  m_language = kDefaultLanguage;
  m_fixed = FixedFileInfo();
  ILibraries* libraries = GetPlatform().libraries;
  if (libraries == nullptr || path == nullptr) return 0;

  uint32_t size = libraries->GetFileVersionInfoSize(path);
  if (size == 0 || size > kMaxVersionInfoSize) return 0;

  m_data.assign(size, 0);
  m_hasData = true;
  if (!libraries->GetFileVersionInfo(path, size, m_data.data())) return 0;

  uint32_t length = 0;
  const uint8_t* value = Query("\\", length);
  if (value == nullptr || length < sizeof(FixedFileInfo)) return 0;
  std::memcpy(&m_fixed, value, sizeof(FixedFileInfo));

  value = Query("\\VarFileInfo\\Translation", length);
  if (value != nullptr && length >= 4) {
    uint32_t translation = 0;
    std::memcpy(&translation, value, sizeof(translation));
    m_language = static_cast<uint16_t>(translation & 0xFFFF);
    m_codePage = static_cast<uint16_t>(translation >> 16);
  }

  return m_fixed.signature == kVsFfiSignature ? 1 : 0;
}

std::string CFileVersionInfo::GetString(const char* valueName) const {
  ILibraries* libraries = GetPlatform().libraries;
  if (!m_hasData || libraries == nullptr || valueName == nullptr) return std::string();

  std::string subBlock(32 + std::strlen(valueName), '\0');
  int written = std::snprintf(&subBlock[0], subBlock.size(), "\\StringFileInfo\\%04x%04x\\%s",
                              m_language, m_codePage, valueName);
  if (written < 0) return std::string();
  subBlock.resize(std::strlen(subBlock.c_str()));

  uint32_t length = 0;
  const uint8_t* value = Query(subBlock.c_str(), length);
  if (value == nullptr) return std::string();
  // The length counts characters; a value need not carry its terminator inside it.
  const char* text = reinterpret_cast<const char*>(value);
  size_t count = 0;
  while (count < length && text[count] != '\0') ++count;
  return std::string(text, count);
}

bool IsFileVersionBelow(uint32_t ms, uint32_t ls, uint32_t minMS, uint32_t minLS) {
  return ms < minMS || (ms == minMS && ls < minLS);
}

std::string FileVersionText(uint32_t ms, uint32_t ls) {
  return Decimal(ms >> 16) + "." + Decimal(ms & 0xFFFF) + "." + Decimal(ls >> 16) + "." +
         Decimal(ls & 0xFFFF);
}

void WriteFileVersion(CLayerCheck& check, uint32_t ms, uint32_t ls, const CFindingField& field) {
  check.Keep(field, FileVersionText(ms, ls).c_str());
  check.WriteInfo(Decimal(ms >> 16).c_str());
  check.Write(".");
  check.WriteInfo(Decimal(ms & 0xFFFF).c_str());
  check.Write(".");
  check.WriteInfo(Decimal(ls >> 16).c_str());
  check.Write(".");
  check.WriteInfo(Decimal(ls & 0xFFFF).c_str());
}
