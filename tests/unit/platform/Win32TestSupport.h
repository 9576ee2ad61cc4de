#pragma once
// The real Win32 platform for the Wine tests, and a scratch folder per test.
#include <gtest/gtest.h>

#include <string>

#include "platform/Platform.h"
#include "platform/win32/Win32Platform.h"
#include "report/LayerCheck.h"
#include "tests/fakes/FakeReportWindow.h"

class Win32Test : public ::testing::Test {
 protected:
  Win32Test() : m_saved(GetPlatform()) {
    Platform platform;
    platform.libraries = &Win32Libraries();
    platform.system = &Win32System();
    platform.network = &Win32Network();
    platform.files = &Win32Files();
    platform.clock = &Win32Clock();
    SetPlatform(platform);
  }
  ~Win32Test() override { SetPlatform(m_saved); }

  void Attach(CLayerCheck& check) {
    check.AttachWindow(&window, kModePlain);
    check.AttachBuffer(&document, kModeMarkup);
  }

  FakeReportWindow window;
  std::string document;

 private:
  Platform m_saved;
};

// A fresh, empty folder under the temporary folder; removed with its files.
class ScratchFolder {
 public:
  explicit ScratchFolder(const char* name);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& Path() const { return m_path; }
  std::string operator/(const std::string& name) const { return m_path + "\\" + name; }
  void MakeFolder(const std::string& relative) const;
  void MakeFile(const std::string& relative, const std::string& bytes) const;

 private:
  std::string m_path;
};

// The bytes of a file read back with the C library, or "<missing>".
std::string ReadFileBytes(const std::string& path);
