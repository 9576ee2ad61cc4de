#include "tests/gui/GuiTestEnv.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace gui {

namespace {

std::string Variable(const char* name, const char* fallback = "") {
  const char* value = std::getenv(name);
  return ToWindowsPath(value && *value ? value : fallback);
}

std::string TestName() {
  const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
  std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "none";
  for (char& c : name) {
    if (c == '/' || c == '\\' || c == ':') {
      c = '_';
    }
  }
  return name;
}

}  // namespace

const CGuiTestEnv& Env() {
  static const CGuiTestEnv env = [] {
    CGuiTestEnv e;
    e.exe = Variable("BS_GUI_EXE");
    e.testApp = Variable("BS_GUI_TESTAPP");
    e.simDir = Variable("BS_GUI_SIM_DIR");
    e.standInDir = Variable("BS_GUI_STANDIN_DIR");
    e.workRoot = Variable("BS_GUI_WORK", "C:\\bs-gui-work");
    e.resultsDir = Variable("BS_GUI_RESULTS", "C:\\bs-gui-results");
    e.cDrive = Variable("BS_GUI_CDRIVE", "C:\\bs-gui");
    e.benches = Variable("BS_GUI_BENCHES");
    e.golden = Variable("BS_GUI_GOLDEN");
    const char* slowness = std::getenv("BS_SLOWNESS");
    const long factor = slowness ? std::strtol(slowness, nullptr, 10) : 1;
    e.slowness = factor >= 1 && factor <= 100 ? static_cast<unsigned>(factor) : 1;
    // The view command asks the shell to open an HTML file; under test no browser may
    // start, so the programs the shell would start are disabled for every child.
    std::string overrides = std::getenv("WINEDLLOVERRIDES") ? std::getenv("WINEDLLOVERRIDES") : "";
    overrides += overrides.empty() ? "" : ";";
    overrides += "winebrowser.exe,iexplore.exe=d";
    SetEnvironmentVariableA("WINEDLLOVERRIDES", overrides.c_str());
    return e;
  }();
  return env;
}

std::string ToWindowsPath(const std::string& path) {
  if (path.empty() || path[0] != '/') {
    return path;
  }
  std::string out = "Z:" + path;
  for (char& c : out) {
    if (c == '/') {
      c = '\\';
    }
  }
  return out;
}

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (dir.empty() || dir.back() == '\\') {
    return dir + name;
  }
  return dir + "\\" + name;
}

bool RemoveTree(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return true;
  }
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileA(path.c_str()) != 0;
  }
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA(JoinPath(path, "*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name != "." && name != "..") {
        RemoveTree(JoinPath(path, name));
      }
    } while (FindNextFileA(find, &found));
    FindClose(find);
  }
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  return RemoveDirectoryA(path.c_str()) != 0;
}

bool MakeDirs(const std::string& path) {
  if (DirectoryExists(path)) {
    return true;
  }
  const size_t cut = path.find_last_of('\\');
  if (cut != std::string::npos && cut > 2) {
    MakeDirs(path.substr(0, cut));
  }
  return CreateDirectoryA(path.c_str(), nullptr) != 0 || DirectoryExists(path);
}

bool MakeCleanDir(const std::string& path) {
  RemoveTree(path);
  return MakeDirs(path);
}

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ReadFileBytes(const std::string& path, std::string& bytes) {
  bytes.clear();
  FILE* in = std::fopen(path.c_str(), "rb");
  if (!in) {
    return false;
  }
  char chunk[65536];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0) {
    bytes.append(chunk, got);
  }
  std::fclose(in);
  return true;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) {
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  return std::fclose(out) == 0 && written;
}

bool CopyFileTo(const std::string& from, const std::string& to) {
  return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

std::string TestWorkDir() {
  const std::string dir = JoinPath(Env().workRoot, TestName());
  MakeCleanDir(dir);
  return dir;
}

std::string ResultPath(const std::string& suffix) {
  MakeDirs(Env().resultsDir);
  return JoinPath(Env().resultsDir, TestName() + suffix);
}

}  // namespace gui
