// "SW Layer" in the real program with the simulated bench's libraries: next to the
// program, missing, or only in a folder of drive C: that the drive search must find.
#include "tests/gui/BenchsentryFixture.h"

namespace gui {
namespace {

constexpr char kSwFailed[] =
    "######_______________________________\r\nSW Layer Check FAILED!!!. \r\n\r\n";
constexpr char kSwOk[] = "_______________________________\r\nSW Layer Checked, result OK. \r\n\r\n";
constexpr char kZebMissing[] =
    "######zeb_32.dll###### is not accessible, trying to find it on your local drive C: "
    "... \r\n";
constexpr char kMostProbableReason[] =
    "The most probable reason for this problem is that one of the files:  visa32.dll, "
    "rz2290_32.dll, kv740m_32.dll is not accessible. \r\n\r\n";

class SwLayer : public BenchsentryTest {
 protected:
  void SetUp() override {
    BenchsentryTest::SetUp();
    m_cDir = JoinPath(Env().cDrive, "SwLayer");
    ASSERT_TRUE(MakeCleanDir(m_cDir));
  }
  void TearDown() override {
    BenchsentryTest::TearDown();
    RemoveTree(m_cDir);
  }

  std::string RunSwLayer(WORD command = kSwLayer) {
    const DWORD start = GetTickCount();
    [&] { ASSERT_NO_FATAL_FAILURE(Run(command)); }();
    // The drive search walks all of C:; the test prefix keeps that short.
    EXPECT_LT(GetTickCount() - start, 120000u);
    Screenshot(".png");
    return m_app.ReportText();
  }

  // The photonic library's part of the report: up to the first driver probe.
  static std::string ZebLines(const std::string& report) {
    return Section(report, "zeb_32.dll", "######rz2290_32.dll");
  }

  std::string m_cDir;
};

TEST_F(SwLayer, WithTheSimulatedBenchTheLayerIsOk) {
  const std::string exe = Stage("app", true);
  ASSERT_NO_FATAL_FAILURE(StartIn(m_dir, exe));
  const std::string report = RunSwLayer();
  const std::string zeb = ZebLines(report);
  EXPECT_EQ(zeb.rfind("zeb_32.dll is accessible\r\n", 0), 0u) << report;
  EXPECT_NE(zeb.find("Company Name : Velmora Technologies\r\n"), std::string::npos) << report;
  EXPECT_NE(zeb.find("ZebVersionString: \""), std::string::npos) << report;
  EXPECT_NE(zeb.find("\r\nZebVersion: "), std::string::npos) << report;
  EXPECT_EQ(zeb.find("######"), std::string::npos) << report;
  EXPECT_NE(report.find("kv740m_32.dll is accessible"), std::string::npos) << report;
  EXPECT_NE(report.find("visa32.dll is accessible"), std::string::npos) << report;
  // The maker's VISA library of the simulated bench meets the maker's minimum.
  EXPECT_EQ(report.find("Wrong library version"), std::string::npos) << report;
  // The second driver is not part of the simulated bench: searched for, not found.
  EXPECT_NE(report.find("######rz2290_32.dll###### is not accessible, trying to find it on "
                        "your local drive C: ... \r\n0 files found \r\n"),
            std::string::npos)
      << report;
  EXPECT_EQ(report.substr(report.size() - std::string(kSwOk).size()), kSwOk) << report;
}

TEST_F(SwLayer, ZebNowhereOnTheComputerIsCode6WithoutTheReason) {
  const std::string exe = Stage("app", false);
  ASSERT_NO_FATAL_FAILURE(StartIn(m_dir, exe));
  const std::string report = RunSwLayer(kSwLayerAlt);
  EXPECT_EQ(ZebLines(report).rfind("zeb_32.dll", 0), 0u);
  EXPECT_NE(report.find(std::string(kZebMissing) + "0 files found \r\n"), std::string::npos)
      << report;
  EXPECT_EQ(report.find("The most probable reason"), std::string::npos) << report;
  EXPECT_EQ(report.substr(report.size() - std::string(kSwFailed).size()), kSwFailed) << report;
}

TEST_F(SwLayer, ZebOnlyInAFolderOfDriveCIsFoundAndProbedThere) {
  const std::string exe = Stage("app", false);
  const std::string folder = JoinPath(m_cDir, "photonic");
  ASSERT_TRUE(MakeDirs(folder));
  const std::string copy = JoinPath(folder, "zeb_32.dll");
  ASSERT_TRUE(CopyFileTo(JoinPath(Env().simDir, "zeb_32.dll"), copy));
  ASSERT_NO_FATAL_FAILURE(StartIn(m_dir, exe));
  const std::string report = RunSwLayer();

  const std::string found = "   Found " + copy + " \r\nLoading the file explicitly...\r\n" +
                            copy + " is accessible\r\n";
  const size_t missing = report.find(kZebMissing);
  ASSERT_NE(missing, std::string::npos) << report;
  EXPECT_EQ(report.find(found), missing + std::string(kZebMissing).size()) << report;
  // One hit: the count and the reason follow the nested probe's lines.
  const size_t count = report.find("1 files found \r\n" + std::string(kMostProbableReason));
  EXPECT_NE(count, std::string::npos) << report;
  EXPECT_GT(count, missing);
  EXPECT_EQ(report.find("ZebVersionString"), std::string::npos) << report;
  EXPECT_EQ(report.substr(report.size() - std::string(kSwFailed).size()), kSwFailed) << report;
}

}  // namespace
}  // namespace gui
