#include "tests/unit/platform/Win32TestSupport.h"

#include <windows.h>

#include <cstdio>
#include <filesystem>

ScratchFolder::ScratchFolder(const char* name) {
  char temp[MAX_PATH] = {};
  DWORD length = GetTempPathA(MAX_PATH, temp);
  std::string base(temp, length);
  if (!base.empty() && base.back() == '\\') base.pop_back();
  m_path = base + "\\bs_" + name + "_" + std::to_string(GetCurrentProcessId());
  std::error_code error;
  std::filesystem::remove_all(m_path, error);
  std::filesystem::create_directories(m_path, error);
}

ScratchFolder::~ScratchFolder() {
  std::error_code error;
  std::filesystem::remove_all(m_path, error);
}

void ScratchFolder::MakeFolder(const std::string& relative) const {
  std::error_code error;
  std::filesystem::create_directories(*this / relative, error);
}

void ScratchFolder::MakeFile(const std::string& relative, const std::string& bytes) const {
  FILE* file = std::fopen((*this / relative).c_str(), "wb");
  ASSERT_NE(nullptr, file) << relative;
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

std::string ReadFileBytes(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return "<missing>";
  std::string bytes;
  char chunk[4096];
  size_t count;
  while ((count = std::fread(chunk, 1, sizeof(chunk), file)) > 0) bytes.append(chunk, count);
  std::fclose(file);
  return bytes;
}
