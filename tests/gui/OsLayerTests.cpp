// "OS Layer" in the real program, with Wine set to report different Windows versions
// to it (the per-program Version value under HKCU\Software\Wine\AppDefaults).
#include "tests/gui/BenchsentryFixture.h"

namespace gui {
namespace {

constexpr char kOsFailed[] =
    "######_______________________________\r\nOS Layer Check FAILED!!!. \r\n\r\n";
constexpr char kOsOk[] = "_______________________________\r\nOS Layer Checked, result OK. \r\n\r\n";

class OsLayer : public BenchsentryTest {
 protected:
  void SetUp() override {
    BenchsentryTest::SetUp();
    ASSERT_FALSE(Env().standInDir.empty()) << "BS_GUI_STANDIN_DIR is not set";
  }
  void TearDown() override {
    BenchsentryTest::TearDown();
    RegDeleteKeyA(HKEY_CURRENT_USER, kAppKey);
  }

  // Starts a staged copy of the program that Wine tells it runs on version; with
  // mfc42 a stand-in of that library lies next to the program.
  void StartAs(const char* version, bool withMfc42) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kAppKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    const LONG set = RegSetValueExA(key, "Version", 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(version),
                                    static_cast<DWORD>(strlen(version) + 1));
    RegCloseKey(key);
    ASSERT_EQ(set, ERROR_SUCCESS);
    const std::string exe = Stage("app", false);
    if (withMfc42) {
      ASSERT_TRUE(CopyFileTo(JoinPath(Env().standInDir, "mfc42.dll"),
                             JoinPath(JoinPath(m_dir, "app"), "mfc42.dll")));
    }
    ASSERT_NO_FATAL_FAILURE(StartIn(m_dir, exe));
  }

  std::string RunOsLayer() {
    [&] { ASSERT_NO_FATAL_FAILURE(Run(kOsLayer)); }();
    Screenshot(".png");
    return m_app.ReportText();
  }

  static constexpr char kAppKey[] = "Software\\Wine\\AppDefaults\\benchsentry.exe";
};

// The lines from the operating system up to the first library probe.
std::string OsLines(const std::string& report) {
  return Section(report, "Operating system: ", "mfc42.dll");
}

TEST_F(OsLayer, WindowsNt4WithServicePack6IsSufficient) {
  ASSERT_NO_FATAL_FAILURE(StartAs("nt40", true));
  const std::string report = RunOsLayer();
  EXPECT_EQ(OsLines(report),
            "Operating system: Microsoft Windows NT Workstation 4.0 \r\n"
            "Build no.1381\r\n"
            "Service Pack 6a\r\n")
      << report;
  EXPECT_EQ(report.find("Please upgrade"), std::string::npos);
  EXPECT_NE(report.find("mfc42.dll is accessible"), std::string::npos) << report;
  EXPECT_EQ(report.substr(report.size() - std::string(kOsOk).size()), kOsOk) << report;
}

TEST_F(OsLayer, Windows98IsAnErrorAndWritesNoVersion) {
  ASSERT_NO_FATAL_FAILURE(StartAs("win98", true));
  const std::string report = RunOsLayer();
  EXPECT_EQ(OsLines(report), "Operating system: ######Microsoft Windows 98 \r\n") << report;
  EXPECT_EQ(report.find("Build no."), std::string::npos);
  EXPECT_NE(report.find("mfc42.dll is accessible"), std::string::npos) << report;
  EXPECT_EQ(report.substr(report.size() - std::string(kOsFailed).size()), kOsFailed) << report;
}

TEST_F(OsLayer, Windows2000NeedsNoServicePackTest) {
  ASSERT_NO_FATAL_FAILURE(StartAs("win2k", true));
  const std::string report = RunOsLayer();
  EXPECT_EQ(OsLines(report),
            "Operating system: Microsoft Windows 2000 Workstation 5.0 \r\n"
            "Build no.2195\r\n"
            "Service Pack 4\r\n")
      << report;
  EXPECT_EQ(report.substr(report.size() - std::string(kOsOk).size()), kOsOk) << report;
}

TEST_F(OsLayer, Windows10HasNoProductNameAndAnEmptyServicePack) {
  ASSERT_NO_FATAL_FAILURE(StartAs("win10", true));
  const std::string report = RunOsLayer();
  const std::string lines = OsLines(report);
  // Version and build are Wine's own for win10; the product name is missing above 5.
  EXPECT_EQ(lines.rfind("Operating system: Workstation 10.0 \r\nBuild no.", 0), 0u) << report;
  EXPECT_EQ(lines.substr(lines.size() - 4), "\r\n\r\n") << report;
  EXPECT_EQ(report.substr(report.size() - std::string(kOsOk).size()), kOsOk) << report;
}

TEST_F(OsLayer, MissingMfc42IsSearchedForOnDriveCAndFailsTheLayer) {
  ASSERT_NO_FATAL_FAILURE(StartAs("win2k", false));
  const std::string report = RunOsLayer();
  EXPECT_NE(report.find("######mfc42.dll###### is not accessible, trying to find it on your "
                        "local drive C: ... \r\n0 files found \r\n"),
            std::string::npos)
      << report;
  EXPECT_NE(report.find("ole32.dll is accessible"), std::string::npos) << report;
  EXPECT_NE(report.find("msvcrt.dll is accessible"), std::string::npos) << report;
  EXPECT_EQ(report.substr(report.size() - std::string(kOsFailed).size()), kOsFailed) << report;
}

}  // namespace
}  // namespace gui
