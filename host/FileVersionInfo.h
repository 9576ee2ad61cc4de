#pragma once
// Reader of the version-information resource of a module loaded in the process,
// and the file-version display form and comparison that its users share.
#include <cstdint>
#include <string>
#include <vector>

class CLayerCheck;
struct CFindingField;

constexpr uint32_t kVsFfiSignature = 0xFEEF04BD;
constexpr uint16_t kDefaultCodePage = 1252;
// US English, used when a resource carries no translation table.
constexpr uint16_t kDefaultLanguage = 0x0409;

// The platform's fixed file information, 13 words as the resource stores them.
struct FixedFileInfo {
  uint32_t signature = 0;
  uint32_t structVersion = 0;
  uint32_t fileVersionMS = 0;
  uint32_t fileVersionLS = 0;
  uint32_t productVersionMS = 0;
  uint32_t productVersionLS = 0;
  uint32_t fileFlagsMask = 0;
  uint32_t fileFlags = 0;
  uint32_t fileOS = 0;
  uint32_t fileType = 0;
  uint32_t fileSubtype = 0;
  uint32_t fileDateMS = 0;
  uint32_t fileDateLS = 0;
};
static_assert(sizeof(FixedFileInfo) == 52, "fixed file information is 52 bytes");

class CFileVersionInfo {
 public:
  CFileVersionInfo();
  virtual ~CFileVersionInfo();
  CFileVersionInfo(const CFileVersionInfo&) = delete;
  CFileVersionInfo& operator=(const CFileVersionInfo&) = delete;

  // Reads the resource of a module already loaded (null: the program itself).
  // 1 when the fixed information carries the right signature, else 0.
  int Load(const char* moduleName);
  // The same for a file that need not be loaded (a copy found on the disk).
  int LoadFile(const char* path);
  // A string value under the current translation; empty when there is none.
  std::string GetString(const char* valueName) const;

  const FixedFileInfo& Fixed() const { return m_fixed; }
  uint32_t FileVersionMS() const { return m_fixed.fileVersionMS; }
  uint32_t FileVersionLS() const { return m_fixed.fileVersionLS; }
  uint16_t Language() const { return m_language; }
  uint16_t CodePage() const { return m_codePage; }

 private:
  // The value of a query with its length, or null when the query fails or its
  // answer does not lie wholly inside the block.
  const uint8_t* Query(const char* subBlock, uint32_t& length) const;

  FixedFileInfo m_fixed;
  std::vector<uint8_t> m_data;
  bool m_hasData = false;
  uint16_t m_language = kDefaultLanguage;
  uint16_t m_codePage = kDefaultCodePage;
};

// True when (ms, ls) is below (minMS, minLS); a minimum of (0, 0) never fails.
bool IsFileVersionBelow(uint32_t ms, uint32_t ls, uint32_t minMS, uint32_t minLS);
// The display form a.b.c.d.
std::string FileVersionText(uint32_t ms, uint32_t ls);
// The display form into a report: each number in information style, plain
// points; the check's record keeps it under field.
void WriteFileVersion(CLayerCheck& check, uint32_t ms, uint32_t ls, const CFindingField& field);
