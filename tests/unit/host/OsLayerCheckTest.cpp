#include "host/OsLayerCheck.h"

#include "tests/unit/host/HostTestSupport.h"

namespace {

const char kProductOptions[] = "SYSTEM\\CurrentControlSet\\Control\\ProductOptions";
const char kOkBannerPlain[] = "_______________________________\r\nOS Layer Checked, result OK. \r\n\r\n";
const char kFailedBannerPlain[] =
    "######_______________________________\r\nOS Layer Check FAILED!!!. \r\n\r\n";
const char kSpAdvicePlain[] =
    "######Please upgrade to SP5 version or newer.\r\n###### click here to download SP5\r\n";

class OsLayerCheckTest : public HostTest {
 protected:
  OsLayerCheckTest() {
    system.systemInfo = {586, 6, 0x0803};
    system.memory = {64ull << 20, 32ull << 20};
    system.SetVersion(2, 5, 0, 2195, "Service Pack 2");
    system.SetRegistryString(kProductOptions, "ProductType", "WinNT");
    system.SetComputerName("BENCHPC");
    network.AddLana(0, {0x00, 0xA0, 0xC9, 0x12, 0x34, 0x56});
    network.AddHost("BENCHPC", {{192, 168, 1, 20}});
    AddPlainLibrary("mfc42.dll", 0x00060000, 0x21D90000, "Example Systems", "6.00.8665.0");
    AddPlainLibrary("ole32.dll", 0x00050000, 0x08930001, "Example Systems", "5.00.2195.1");
    AddPlainLibrary("msvcrt.dll", 0x00060001, 0x26740000, "Example Systems", "6.1.9844.0");
  }

  // The operating-system section of task 1 in the window, from "Operating system: ".
  std::string OsSection() {
    COsLayerCheck check;
    Attach(check);
    check.ReportOsVersion();
    check.Flush();
    m_error = check.Error();
    size_t start = Window().find("Operating system: ");
    return start == std::string::npos ? std::string() : Window().substr(start);
  }
  std::string ProcessorLine(uint16_t revision) {
    COsLayerCheck check;
    Attach(check);
    check.ReportProcessor({586, 6, revision});
    check.Flush();
    return Window();
  }

  int32_t m_error = 0;
};

TEST_F(OsLayerCheckTest, Windows2000WorkstationWholeReport) {
  COsLayerCheck check;
  EXPECT_STREQ("OS ", check.Name());
  EXPECT_EQ(4, report.Run(check));
  EXPECT_EQ(-1, check.Error());
  EXPECT_EQ(ReadTestData("os_win2000_window.txt"), Window());
  EXPECT_EQ(ReadTestData("os_win2000_document.html"), Document());
  EXPECT_EQ(1, report.Window().InsertCount()) << "without a progress, one insert at the end";
  EXPECT_EQ(0, libraries.TotalLoaded());
  EXPECT_EQ(0, system.OpenKeys());
  EXPECT_EQ(std::vector<uint32_t>{156}, system.VersionSizesAsked());
}

TEST_F(OsLayerCheckTest, StepsReturnTheErrorCodeSoFarAndEndWithMinusOne) {
  system.SetVersion(1, 4, 0, 950, "");
  COsLayerCheck check;
  Attach(check);
  EXPECT_EQ(1, check.Begin());
  EXPECT_EQ(1, check.Step());
  EXPECT_EQ(2, check.Task());
  EXPECT_EQ(1, check.Step());
  EXPECT_EQ(1, check.Step());
  EXPECT_EQ(4, check.Task());
  EXPECT_EQ(-1, check.Step());
  EXPECT_EQ(-1, check.Error());
  check.Flush();
  EXPECT_NE(std::string::npos, Window().find(kFailedBannerPlain));
}

TEST_F(OsLayerCheckTest, Windows95And98AreErrorsWithoutVersionNumbers) {
  system.SetVersion(1, 4, 0, 0x040003B6, "");
  EXPECT_EQ("Operating system: ######Microsoft Windows 95 \r\n", OsSection());
  EXPECT_EQ(1, m_error);
  EXPECT_NE(std::string::npos,
            Document().find("Operating system: <b><font color=#ff0000>Microsoft Windows 95 "
                            "<br>\r\n</font></b>"));

  struct {
    uint32_t major, minor;
  } versions98[] = {{4, 10}, {4, 90}, {5, 0}};
  for (const auto& v : versions98) {
    report.Window().Clear();
    system.SetVersion(1, v.major, v.minor, 1998, " A ");
    EXPECT_EQ("Operating system: ######Microsoft Windows 98 \r\n", OsSection()) << v.major << v.minor;
    EXPECT_EQ(1, m_error);
  }
}

TEST_F(OsLayerCheckTest, Win32sAndUnknownPlatforms) {
  system.SetVersion(0, 3, 10, 0, "");
  EXPECT_EQ("Operating system: ######Microsoft Win32s \r\n", OsSection());
  EXPECT_EQ(1, m_error);

  report.Window().Clear();
  system.SetVersion(3, 5, 0, 0, "");
  EXPECT_EQ("Operating system: ######Incorrect operating system version information", OsSection());
  EXPECT_EQ(0, m_error);
}

TEST_F(OsLayerCheckTest, ServicePackTestAtTheDigitOfTheText) {
  system.SetVersion(2, 4, 0, 1381, "Service Pack 6");
  EXPECT_EQ(
      "Operating system: Microsoft Windows NT Workstation 4.0 \r\nBuild no.1381\r\n"
      "Service Pack 6\r\n",
      OsSection());
  EXPECT_EQ(0, m_error);

  report.Window().Clear();
  system.SetVersion(2, 4, 0, 1381, "Service Pack 6a");
  EXPECT_EQ(
      "Operating system: Microsoft Windows NT Workstation 4.0 \r\nBuild no.1381\r\n"
      "Service Pack 6a\r\n",
      OsSection());
  EXPECT_EQ(0, m_error);
}

TEST_F(OsLayerCheckTest, ServicePack4GetsTheAdviceAndTheAnchor) {
  system.SetVersion(2, 4, 0, 1381, "Service Pack 4");
  EXPECT_EQ(
      std::string("Operating system: Microsoft Windows NT Workstation 4.0 \r\nBuild no.1381\r\n"
                  "######Service Pack 4\r\n") +
          kSpAdvicePlain,
      OsSection());
  EXPECT_EQ(2, m_error);
  const std::string anchor = std::string("<b><font color=#ff0000>") + kServicePackAnchor + "</font></b><br>\r\n";
  EXPECT_NE(std::string::npos, Document().find(
                                   "<b><font color=#ff0000>Service Pack 4</font></b><br>\r\n"
                                   "<b><font color=#ff0000>Please upgrade to SP5 version or "
                                   "newer.<br>\r\n</font></b>" +
                                   anchor));
  EXPECT_EQ(0u, std::string(kServicePackAnchor).find("<a target=_blank href=\"https://www.microsoft.com/"));
  EXPECT_EQ("\"> click here to download SP5</a>",
            std::string(kServicePackAnchor).substr(std::string(kServicePackAnchor).find('"', 23)));
}

TEST_F(OsLayerCheckTest, NoServicePackIsInsufficient) {
  system.SetVersion(2, 3, 51, 1057, "");
  EXPECT_EQ(
      std::string("Operating system: Microsoft Windows NT Workstation 3.51 \r\nBuild no.1057\r\n"
                  "######\r\n") +
          kSpAdvicePlain,
      OsSection());
  EXPECT_EQ(2, m_error);
}

TEST_F(OsLayerCheckTest, MajorFiveAndAboveNeedNoServicePack) {
  system.SetVersion(2, 5, 1, 2600, "");
  EXPECT_EQ("Operating system: Microsoft Windows 2000 Workstation 5.1 \r\nBuild no.2600\r\n\r\n",
            OsSection());
  EXPECT_EQ(0, m_error);

  report.Window().Clear();
  system.SetVersion(2, 10, 0, 19045, "Service Pack 1");
  EXPECT_EQ("Operating system: Workstation 10.0 \r\nBuild no.19045\r\nService Pack 1\r\n",
            OsSection());
  EXPECT_EQ(0, m_error);
}

TEST_F(OsLayerCheckTest, ProductTypeIgnoresCaseAndOnlyKnowsTwoValues) {
  system.SetVersion(2, 5, 0, 2195, "Service Pack 4");
  system.SetRegistryString(kProductOptions, "ProductType", "ServerNT");
  EXPECT_EQ(
      "Operating system: Microsoft Windows 2000 Server \r\n5.0 \r\nBuild no.2195\r\n"
      "Service Pack 4\r\n",
      OsSection());
  EXPECT_NE(std::string::npos,
            Document().find("<i><font color=#900090>Server <br>\r\n</font></i><i><font color=#900090>5"));

  const char* const texts[] = {"winnt", "WINNT", "sErVeRnT", "LanmanNT", "WINNT2", ""};
  const char* const shown[] = {"Workstation ", "Workstation ", "Server \r\n", "", "", ""};
  for (size_t i = 0; i < 6; ++i) {
    report.Window().Clear();
    system.SetRegistryString(kProductOptions, "ProductType", texts[i]);
    EXPECT_EQ(std::string("Operating system: Microsoft Windows 2000 ") + shown[i] +
                  "5.0 \r\nBuild no.2195\r\nService Pack 4\r\n",
              OsSection())
        << texts[i];
  }
  EXPECT_EQ(0, system.OpenKeys());
}

TEST_F(OsLayerCheckTest, ProductTypeMissingOrUnterminated) {
  FakeSystem other;
  other.SetVersion(2, 5, 0, 2195, "");
  Platform platform = GetPlatform();
  platform.system = &other;
  SetPlatform(platform);
  EXPECT_EQ("Operating system: Microsoft Windows 2000 5.0 \r\nBuild no.2195\r\n\r\n", OsSection());

  other.AddKey(kProductOptions);
  report.Window().Clear();
  EXPECT_EQ("Operating system: Microsoft Windows 2000 5.0 \r\nBuild no.2195\r\n\r\n", OsSection());
  EXPECT_EQ(0, other.OpenKeys());

  // Registry data need not carry a terminator.
  other.SetRegistryValue(kProductOptions, "ProductType", "WinNT");
  report.Window().Clear();
  EXPECT_EQ("Operating system: Microsoft Windows 2000 Workstation 5.0 \r\nBuild no.2195\r\n\r\n",
            OsSection());

  // A value that fills the whole buffer is cut, not read beyond it.
  other.SetRegistryValue(kProductOptions, "ProductType", std::string(80, 'W'));
  report.Window().Clear();
  EXPECT_EQ("Operating system: Microsoft Windows 2000 5.0 \r\nBuild no.2195\r\n\r\n", OsSection());

  // Too long for the buffer: the query fails and nothing is shown.
  other.SetRegistryString(kProductOptions, "ProductType", std::string(100, 'W'));
  report.Window().Clear();
  EXPECT_EQ("Operating system: Microsoft Windows 2000 5.0 \r\nBuild no.2195\r\n\r\n", OsSection());
}

TEST_F(OsLayerCheckTest, BuildShowsOnlyItsLow16Bits) {
  system.SetVersion(2, 5, 0, 0x0A280893, "Service Pack 1");
  EXPECT_NE(std::string::npos, OsSection().find("Build no.2195\r\n"));
}

TEST_F(OsLayerCheckTest, VersionReadFallsBackToBasicRecordThenGivesUp) {
  system.FailVersionSize(156);
  system.SetVersion(2, 4, 0, 1381, "Service Pack 6");
  EXPECT_EQ(
      "Operating system: Microsoft Windows NT Workstation 4.0 \r\nBuild no.1381\r\nService Pack 6\r\n",
      OsSection());
  EXPECT_EQ((std::vector<uint32_t>{156, 148}), system.VersionSizesAsked());

  system.FailVersionSize(148);
  report.Window().Clear();
  COsLayerCheck check;
  EXPECT_EQ(4, report.Run(check));
  EXPECT_EQ(std::string::npos, Window().find("Operating system"));
  EXPECT_NE(std::string::npos, Window().find("Free physical memory =   32768 kB\r\nmfc42.dll is accessible"));
  EXPECT_NE(std::string::npos, Window().find(kOkBannerPlain));
}

TEST_F(OsLayerCheckTest, ProcessorRevisions) {
  EXPECT_EQ("Processor Type: 586 family: 6 model: 8 stepping: 3\r\n", ProcessorLine(0x0803));
  report.Window().Clear();
  EXPECT_EQ("Processor Type: 586 family: 6", ProcessorLine(0xFF03));
  report.Window().Clear();
  EXPECT_EQ("Processor Type: 586 family: 6 model: fe stepping: ab\r\n", ProcessorLine(0xFEAB));
  report.Window().Clear();
  EXPECT_EQ("Processor Type: 586 family: 6 model: 0 stepping: 0\r\n", ProcessorLine(0x0000));
}

TEST_F(OsLayerCheckTest, MemoryLinesWithWidthSevenAlsoBeyond32Bits) {
  COsLayerCheck check;
  Attach(check);
  check.ReportMemory({64ull << 20, 1536ull << 10});
  check.ReportMemory({6ull << 30, 5ull << 30});
  check.ReportMemory({(64ull << 20) - 1, 1023});
  check.ReportMemory({1ull << 50, 1ull << 50});
  check.Flush();
  EXPECT_EQ(
      "RAM available =      64 MB\r\nFree physical memory =    1536 kB\r\n"
      "RAM available =    6144 MB\r\nFree physical memory = 5242880 kB\r\n"
      "RAM available =      63 MB\r\nFree physical memory =       0 kB\r\n"
      "RAM available = 1073741824 MB\r\nFree physical memory = 1099511627776 kB\r\n",
      Window());
}

TEST_F(OsLayerCheckTest, MemoryThroughTheExtendedCallWhereItExistsElseTheBasicOne) {
  struct Case {
    bool hasEx;
    bool exFails;
    const char* lines;
    int basicCalls;
  } cases[] = {
      {true, false, "RAM available =    6144 MB\r\nFree physical memory = 5242880 kB\r\n", 0},
      // Before 2000 only the basic call exists: its 32-bit totals are what the system shows.
      {false, false, "RAM available =    2048 MB\r\nFree physical memory = 1048576 kB\r\n", 1},
      {true, true, "RAM available =    2048 MB\r\nFree physical memory = 1048576 kB\r\n", 1},
  };
  for (const Case& c : cases) {
    system.memory = {6ull << 30, 5ull << 30};
    system.hasMemoryStatusEx = c.hasEx;
    system.memoryFails = c.exFails;
    system.basicMemoryCalls = 0;
    report.Window().Clear();
    COsLayerCheck check;
    Attach(check);
    check.ReportMemory(ReadMemoryStatus(system));
    check.Flush();
    EXPECT_EQ(c.lines, Window()) << c.hasEx << c.exFails;
    EXPECT_EQ(c.basicCalls, system.basicMemoryCalls) << c.hasEx << c.exFails;
  }
}

TEST_F(OsLayerCheckTest, MissingLibrariesSetCodesAndTheLaterOneWins) {
  FakeLibraries onlyOle;
  onlyOle.AddLibrary("ole32.dll");
  Platform platform = GetPlatform();
  platform.libraries = &onlyOle;
  SetPlatform(platform);

  COsLayerCheck check;
  Attach(check);
  check.Begin();
  check.Step();
  EXPECT_EQ(3, check.Step());
  EXPECT_EQ(5, check.Step());
  check.Flush();
  const std::string tail = Window().substr(Window().find("######mfc42.dll"));
  EXPECT_EQ(
      "######mfc42.dll###### is not accessible, trying to find it on your local drive C: ... \r\n"
      "0 files found \r\n"
      "ole32.dll is accessible\r\n "
      "######msvcrt.dll###### is not accessible, trying to find it on your local drive C: ... \r\n"
      "0 files found \r\n",
      tail);
  EXPECT_EQ(-1, check.Step());
  check.Flush();
  EXPECT_NE(std::string::npos, Window().find(kFailedBannerPlain));
}

TEST_F(OsLayerCheckTest, OnlyOleMissingGivesCodeFour) {
  FakeLibraries noOle;
  noOle.AddLibrary("mfc42.dll");
  noOle.AddLibrary("msvcrt.dll");
  Platform platform = GetPlatform();
  platform.libraries = &noOle;
  SetPlatform(platform);
  COsLayerCheck check;
  Attach(check);
  check.Begin();
  check.Step();
  check.Step();
  EXPECT_EQ(4, check.Step());
}

TEST_F(OsLayerCheckTest, UnknownTaskWritesTheInvalidTaskTextAndRestarts) {
  COsLayerCheck check;
  Attach(check);
  EXPECT_EQ(0, check.Step());
  EXPECT_EQ(1, check.Task());
  check.Flush();
  EXPECT_EQ("An error detected in task number \r\n", Window());
}

}  // namespace
