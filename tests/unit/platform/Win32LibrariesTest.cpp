#include <cctype>

#include "host/FileVersionInfo.h"
#include "host/LibraryProbe.h"
#include "tests/unit/platform/Win32TestSupport.h"

namespace {

using Win32LibrariesTest = Win32Test;

bool EndsWithIgnoringCase(const std::string& text, const std::string& tail) {
  if (text.size() < tail.size()) return false;
  for (size_t i = 0; i < tail.size(); ++i) {
    char a = text[text.size() - tail.size() + i];
    char b = tail[i];
    if (std::tolower(static_cast<unsigned char>(a)) != std::tolower(static_cast<unsigned char>(b))) {
      return false;
    }
  }
  return true;
}

TEST_F(Win32LibrariesTest, LoadsLooksUpAndReleases) {
  ILibraries& libraries = Win32Libraries();
  EXPECT_EQ(nullptr, libraries.LoadLibrary("bs_no_such_library.dll"));

  ModuleHandle module = libraries.LoadLibrary("version.dll");
  ASSERT_NE(nullptr, module);
  EXPECT_NE(nullptr, libraries.GetProcAddress(module, "GetFileVersionInfoSizeA"));
  EXPECT_EQ(nullptr, libraries.GetProcAddress(module, "NoSuchExport"));
  EXPECT_EQ(module, libraries.GetModuleHandle("version.dll"));
  std::string path;
  ASSERT_TRUE(libraries.GetModuleFileName(module, path));
  EXPECT_TRUE(EndsWithIgnoringCase(path, "\\version.dll")) << path;
  libraries.FreeLibrary(module);

  // The program's own module.
  ASSERT_TRUE(libraries.GetModuleFileName(libraries.GetModuleHandle(nullptr), path));
  EXPECT_TRUE(EndsWithIgnoringCase(path, ".exe")) << path;
}

TEST_F(Win32LibrariesTest, CallsAFunctionFoundByName) {
  ILibraries& libraries = Win32Libraries();
  ModuleHandle kernel = libraries.GetModuleHandle("kernel32.dll");
  ASSERT_NE(nullptr, kernel);
  using GetCurrentProcessIdFn = uint32_t(__stdcall*)();
  auto function = reinterpret_cast<GetCurrentProcessIdFn>(
      libraries.GetProcAddress(kernel, "GetCurrentProcessId"));
  ASSERT_NE(nullptr, function);
  EXPECT_NE(0u, function());
}

TEST_F(Win32LibrariesTest, VersionResourceOfKernel32) {
  CFileVersionInfo info;
  ASSERT_EQ(1, info.Load("kernel32.dll"));
  EXPECT_EQ(kVsFfiSignature, info.Fixed().signature);
  EXPECT_GE(info.FileVersionMS() >> 16, 5u);
  const std::string company = info.GetString("CompanyName");
  EXPECT_FALSE(company.empty());
  EXPECT_FALSE(info.GetString("ProductVersion").empty());
  EXPECT_EQ("", info.GetString("NoSuchValue"));

  CLibraryProbeCheck check;
  const int expected = company[0] == 'V' ? 1 : company[0] == 'N' ? 2 : 0;
  EXPECT_EQ(expected, check.GetLibraryPublisher("kernel32.dll"));
}

TEST_F(Win32LibrariesTest, ModulesNotLoadedHaveNoVersionToRead) {
  CFileVersionInfo info;
  EXPECT_EQ(0, info.Load("bs_no_such_library.dll"));
  EXPECT_EQ("", info.GetString("CompanyName"));
}

TEST_F(Win32LibrariesTest, CheckLibraryReportsARealLibrary) {
  CFileVersionInfo info;
  ASSERT_EQ(1, info.Load("kernel32.dll"));
  CLibraryProbeCheck check;
  Attach(check);
  EXPECT_EQ(1, check.CheckLibrary("kernel32.dll"));
  check.Flush();
  const std::string expected = "kernel32.dll is accessible\r\n version: " +
                               FileVersionText(info.FileVersionMS(), info.FileVersionLS()) +
                               " string value: \"" + info.GetString("ProductVersion") +
                               "\"\r\nCompany Name : " + info.GetString("CompanyName") + "\r\n";
  EXPECT_EQ(expected, window.Text());
}

}  // namespace
