#include "host/SwLayerCheck.h"

#include <cstring>

#include "host/ZebFunctions.h"
#include "tests/fakes/FakeText.h"
#include "tests/unit/host/HostTestSupport.h"

namespace {

struct ZebState {
  std::vector<std::string> calls;
  std::string versionText = "Zeb 4.2 (build 17)";
  bool unterminated = false;
  int16_t a = 4, b = 2, c = 17;
};
ZebState g_zeb;

int32_t BS_STDCALL FakeZebVersionString(char* buffer) {
  g_zeb.calls.push_back("ZebVersionString");
  if (g_zeb.unterminated) std::memset(buffer, 'x', 10000);
  else std::strcpy(buffer, g_zeb.versionText.c_str());
  return 0;
}
int32_t BS_STDCALL FakeZebVersion(int16_t* a, int16_t* b, int16_t* c) {
  g_zeb.calls.push_back("ZebVersion");
  *a = g_zeb.a;
  *b = g_zeb.b;
  *c = g_zeb.c;
  return 0;
}
int32_t BS_STDCALL FakeZebInit(int32_t x, int32_t y) {
  g_zeb.calls.push_back("ZebInit(" + std::to_string(x) + "," + std::to_string(y) + ")");
  return 0;
}
int32_t BS_STDCALL FakeZebClose() {
  g_zeb.calls.push_back("ZebClose");
  return 0;
}

const FakeLibraries::Exports kAllZebExports = {
    {"ZebVersionString", reinterpret_cast<void*>(&FakeZebVersionString)},
    {"ZebVersion", reinterpret_cast<void*>(&FakeZebVersion)},
    {"ZebInit", reinterpret_cast<void*>(&FakeZebInit)},
    {"ZebClose", reinterpret_cast<void*>(&FakeZebClose)},
};

const char kOkBanner[] = "_______________________________\r\nSW Layer Checked, result OK. \r\n\r\n";
const char kFailedBanner[] =
    "######_______________________________\r\nSW Layer Check FAILED!!!. \r\n\r\n";
const char kVisaAdvice[] =
    "Please uprgade your visa32.dll to National Instruments visa32.dll ver. 2.5 or Velmora "
    "Technologies visa32.dll ver. J.01.01\r\n";

std::string Between(const std::string& text, const std::string& after, const std::string& before) {
  size_t start = text.find(after);
  if (start == std::string::npos) return "<no " + after + ">";
  start += after.size();
  size_t end = text.find(before, start);
  if (end == std::string::npos) return "<no " + before + ">";
  return text.substr(start, end - start);
}

class SwLayerCheckTest : public HostTest {
 protected:
  SwLayerCheckTest() { g_zeb = ZebState(); }

  void AddZeb(const FakeLibraries::Exports& exports = kAllZebExports) {
    libraries.AddLibrary("zeb_32.dll", exports,
                         MakeVersion(0x00040002, 0x00000011, "Velmora Technologies", "4.2.0.17"));
  }
  void AddDrivers() {
    libraries.AddLibrary("rz2290_32.dll", {},
                         MakeVersion(0x00010005, 0, "Velmora Technologies", "1.5"));
    // No version resource: its report ends at the accessible line.
    libraries.AddLibrary("kv740m_32.dll");
  }
  void AddVisa(const std::string& company, uint32_t ms, uint32_t ls,
               const std::string& productVersion = "J.01.01") {
    libraries.AddLibrary("visa32.dll", {}, MakeVersion(ms, ls, company, productVersion));
  }
  void AddRuntimeLibraries() {
    for (const char* name : {"msvcrt.dll", "msvcp60.dll", "advapi32.dll", "wsock32.dll",
                             "rpcrt4.dll", "netapi32.dll"}) {
      AddPlainLibrary(name);
    }
  }
  void AddAllButZeb() {
    AddDrivers();
    AddVisa("Velmora Technologies", 0x004A0001, 0x00010000);
    AddRuntimeLibraries();
  }

  // Runs the whole check and keeps its result.
  void RunCheck() {
    CSwLayerCheck check;
    EXPECT_STREQ("SW ", check.Name());
    EXPECT_EQ(11, report.Run(check));
    EXPECT_EQ(-1, check.Error());
    EXPECT_EQ(0, libraries.TotalLoaded()) << "a library was left loaded";
  }
  // Task 1's report: after the header banner, up to the first driver.
  std::string ZebSection() {
    return Between(Window(), ReportFixture::PlainBanner("SW "), "rz2290_32.dll is accessible");
  }
  std::string VisaSection() {
    return Between(Window(), "kv740m_32.dll is accessible\r\n ", "msvcrt.dll is accessible");
  }
  // Error code after task 1, with the check stepped by hand.
  int32_t CodeAfterTask1() {
    FakeReportWindow window;
    CSwLayerCheck check;
    check.AttachWindow(&window, kModePlain);
    check.Begin();
    return check.Step();
  }
};

TEST_F(SwLayerCheckTest, EverythingInPlaceWholeReport) {
  // Here kv740m_32.dll has a version resource too.
  FakeLibraries full;
  full.AddLibrary("zeb_32.dll", kAllZebExports,
                  MakeVersion(0x00040002, 0x00000011, "Velmora Technologies", "4.2.0.17"));
  full.AddLibrary("rz2290_32.dll", {}, MakeVersion(0x00010005, 0, "Velmora Technologies", "1.5"));
  full.AddLibrary("kv740m_32.dll", {}, MakeVersion(0x00030001, 0, "Velmora Technologies", "3.1"));
  full.AddLibrary("visa32.dll", {},
                  MakeVersion(0x004A0001, 0x00010000, "Velmora Technologies", "J.01.01"));
  for (const char* name : {"msvcrt.dll", "msvcp60.dll", "advapi32.dll", "wsock32.dll", "rpcrt4.dll",
                           "netapi32.dll"}) {
    full.AddLibrary(name, {}, MakeVersion(0x00050001, 0x0A280000, "Example Systems", "5.1.2600.0"));
  }
  Platform platform = GetPlatform();
  platform.libraries = &full;
  SetPlatform(platform);

  CSwLayerCheck check;
  EXPECT_EQ(11, report.Run(check));
  EXPECT_EQ(ReadTestData("sw_all_present_window.txt"), Window());
  EXPECT_EQ(ReadTestData("sw_all_present_document.html"), Document());
  EXPECT_EQ(1, report.Window().InsertCount()) << "without a progress, one insert at the end";
  EXPECT_EQ(0, full.TotalLoaded());
  EXPECT_EQ((std::vector<std::string>{"ZebVersionString", "ZebVersion", "ZebInit(0,0)", "ZebClose"}),
            g_zeb.calls);
  // The photonic library is loaded a second time under its short name for the calls.
  const auto& loads = full.LoadRequests();
  ASSERT_GE(loads.size(), 2u);
  EXPECT_EQ("zeb_32.dll", loads[0]);
  EXPECT_EQ("zeb_32", loads[1]);
}

TEST_F(SwLayerCheckTest, TaskOrderAndReturnedCodes) {
  AddAllButZeb();
  CSwLayerCheck check;
  Attach(check);
  check.Begin();
  for (int task = 1; task <= 10; ++task) {
    EXPECT_EQ(task, check.Task());
    EXPECT_EQ(6, check.Step()) << task;
  }
  EXPECT_EQ(11, check.Task());
  EXPECT_EQ(-1, check.Step());
  check.Flush();
  const std::string& text = Window();
  size_t last = 0;
  for (const char* name : {"zeb_32.dll", "rz2290_32.dll", "kv740m_32.dll", "visa32.dll", "msvcrt.dll",
                           "msvcp60.dll", "advapi32.dll", "wsock32.dll", "rpcrt4.dll",
                           "netapi32.dll", "SW Layer Check FAILED!!!."}) {
    size_t at = text.find(name, last);
    ASSERT_NE(std::string::npos, at) << name;
    last = at;
  }
}

TEST_F(SwLayerCheckTest, ZebNowhereSearchesTheDriveAndFails) {
  AddAllButZeb();
  RunCheck();
  EXPECT_EQ(
      "######zeb_32.dll###### is not accessible, trying to find it on your local drive C: ... \r\n"
      "0 files found \r\n",
      ZebSection());
  EXPECT_EQ(6, CodeAfterTask1());
  EXPECT_EQ(std::string::npos, Window().find("most probable"));
  EXPECT_EQ(kFailedBanner, Window().substr(Window().size() - std::strlen(kFailedBanner)));
  // Each directory is listed once per search, for the name and the walk alike.
  EXPECT_EQ((std::vector<std::string>{"C:\\*.*", "C:\\benchsentry\\*.*", "C:\\*.*",
                                      "C:\\benchsentry\\*.*"}),
            files.FindPatterns());
  EXPECT_NE(std::string::npos,
            Document().find("<b><font color=#ff0000>zeb_32.dll</font></b><b><font color=#ff0000> is "
                            "not accessible</font></b>, trying to find it on your local drive C: "
                            "... <br>\r\n0 files found<br> \r\n"));
}

TEST_F(SwLayerCheckTest, ZebCopiesUnderCAreReportedDirectoryHitsFirst) {
  AddAllButZeb();
  files.AddDirectory("C:\\Apps\\Sub");
  files.AddFile("C:\\Apps\\Sub\\zeb_32.dll");
  files.AddFile("C:\\Apps\\zeb_32.dll");
  files.AddFile("C:\\zeb_32.dll");
  libraries.AddLibrary("C:\\Apps\\zeb_32.dll", kAllZebExports,
                       MakeVersion(0x00040001, 0x00000003, "Velmora Technologies", "4.1.0.3"));
  RunCheck();
  EXPECT_EQ(
      "######zeb_32.dll###### is not accessible, trying to find it on your local drive C: ... \r\n"
      "   Found C:\\zeb_32.dll \r\n"
      "Loading the file explicitly...\r\n"
      "C:\\zeb_32.dll######\r\nFile exists, but could not be loaded. This has to do with it's "
      "dependencies.\r\n"
      "   Found C:\\Apps\\zeb_32.dll \r\n"
      "Loading the file explicitly...\r\n"
      "C:\\Apps\\zeb_32.dll is accessible\r\n"
      " version: 4.1.0.3 string value: \"4.1.0.3\"\r\n"
      "Company Name : Velmora Technologies\r\n"
      "   Found C:\\Apps\\Sub\\zeb_32.dll \r\n"
      "Loading the file explicitly...\r\n"
      "C:\\Apps\\Sub\\zeb_32.dll######\r\nFile exists, but could not be loaded. This has to do "
      "with it's dependencies.\r\n"
      "3 files found \r\n"
      "The most probable reason for this problem is that one of the files:  visa32.dll, "
      "rz2290_32.dll, kv740m_32.dll is not accessible. \r\n\r\n",
      ZebSection());
  EXPECT_EQ(7, CodeAfterTask1());
  EXPECT_TRUE(g_zeb.calls.empty());
  EXPECT_EQ(kFailedBanner, Window().substr(Window().size() - std::strlen(kFailedBanner)));
}

TEST_F(SwLayerCheckTest, DriveSearchReadsEachDirectoryOnceAndMatchesNamesInAnyCase) {
  AddAllButZeb();
  files.AddFile("C:\\ZEB_32.DLL");
  files.AddFile("C:\\Apps\\zeb_32.dll.bak");
  files.AddFile("C:\\Apps\\xzeb_32.dll");
  files.AddFile("C:\\Apps\\Zeb_32.Dll");
  files.AddFile("C:\\Apps\\Deep\\Deeper\\zeb_32.dll");
  files.AddLink("C:\\Apps\\Back", "C:\\");
  files.AddDirectory("C:\\Empty");
  CSwLayerCheck check;
  Attach(check);
  check.Begin();
  EXPECT_EQ(7, check.Step());
  check.Flush();
  const std::string unloadable =
      "######\r\nFile exists, but could not be loaded. This has to do with it's dependencies.\r\n";
  EXPECT_EQ("######zeb_32.dll###### is not accessible, trying to find it on your local drive C: "
            "... \r\n"
            "   Found C:\\ZEB_32.DLL \r\nLoading the file explicitly...\r\nC:\\ZEB_32.DLL" +
                unloadable +
                "   Found C:\\Apps\\Zeb_32.Dll \r\nLoading the file explicitly...\r\n"
                "C:\\Apps\\Zeb_32.Dll" +
                unloadable +
                "   Found C:\\Apps\\Deep\\Deeper\\zeb_32.dll \r\nLoading the file explicitly...\r\n"
                "C:\\Apps\\Deep\\Deeper\\zeb_32.dll" +
                unloadable + "3 files found \r\n",
            Between(Window(), ReportFixture::PlainBanner("SW "), "The most probable"));
  for (const char* directory : {"C:", "C:\\benchsentry", "C:\\Apps", "C:\\Apps\\Deep",
                                "C:\\Apps\\Deep\\Deeper", "C:\\Empty"}) {
    EXPECT_EQ(1, files.ListingsOf(directory)) << directory;
  }
  EXPECT_EQ(6, files.Listings());
  // One insert per copy found and one for the rest of the step: the text before
  // the search waits for a progress point past the refresh interval.
  EXPECT_EQ(3 + 1, report.Window().InsertCount());
}

TEST_F(SwLayerCheckTest, PathsAreTextInTheDocument) {
  AddAllButZeb();
  files.AddFile("C:\\R&D <old>\\zeb_32.dll");
  RunCheck();
  EXPECT_NE(std::string::npos, Window().find("   Found C:\\R&D <old>\\zeb_32.dll \r\n"));
  EXPECT_NE(std::string::npos,
            Document().find("   Found C:\\R&amp;D &lt;old&gt;\\zeb_32.dll<br> \r\n"
                            "Loading the file explicitly...\r\n<br>"
                            "<b><font color=#009000>C:\\R&amp;D &lt;old&gt;\\zeb_32.dll</font></b>"));
}


TEST_F(SwLayerCheckTest, DriveSearchEndsDespiteALinkLoop) {
  AddAllButZeb();
  files.AddFile("C:\\Data\\zeb_32.dll");
  files.AddLink("C:\\Data\\Loop", "C:\\");
  RunCheck();
  EXPECT_EQ(1u, Count(Window(), "   Found "));
  EXPECT_NE(std::string::npos, Window().find("   Found C:\\Data\\zeb_32.dll \r\n"));
  EXPECT_NE(std::string::npos, Window().find("1 files found \r\n"));
  for (const std::string& pattern : files.FindPatterns()) {
    EXPECT_EQ(std::string::npos, pattern.find("Loop")) << pattern;
  }
}

TEST_F(SwLayerCheckTest, DriveSearchFindsALinkedCopyOnlyWhereItLies) {
  AddAllButZeb();
  files.AddLink("C:\\Shortcut", "C:\\Data");
  files.AddFile("C:\\Data\\zeb_32.dll");
  RunCheck();
  EXPECT_EQ(1u, Count(Window(), "   Found "));
  EXPECT_NE(std::string::npos, Window().find("   Found C:\\Data\\zeb_32.dll \r\n"));
}

TEST_F(SwLayerCheckTest, ZebWithoutVersionStringCannotBeCalled) {
  AddZeb({{"ZebVersion", reinterpret_cast<void*>(&FakeZebVersion)},
          {"ZebInit", reinterpret_cast<void*>(&FakeZebInit)},
          {"ZebClose", reinterpret_cast<void*>(&FakeZebClose)}});
  AddAllButZeb();
  RunCheck();
  EXPECT_EQ(
      "zeb_32.dll is accessible\r\n version: 4.2.0.17 string value: \"4.2.0.17\"\r\n"
      "Company Name : Velmora Technologies\r\n"
      "Unable to call the DLL function ZebVersionString",
      ZebSection());
  EXPECT_TRUE(g_zeb.calls.empty());
  EXPECT_EQ(12, CodeAfterTask1());
  EXPECT_EQ(kFailedBanner, Window().substr(Window().size() - std::strlen(kFailedBanner)));
}

TEST_F(SwLayerCheckTest, ZebPresentAsFileButNotLoadable) {
  AddAllButZeb();
  files.AddFile("C:\\benchsentry\\zeb_32.dll");
  RunCheck();
  EXPECT_EQ(
      "zeb_32.dll######\r\nFile exists, but could not be loaded. This has to do with it's "
      "dependencies.\r\n"
      "Unable to call the DLL function ZebVersionString",
      ZebSection());
  EXPECT_EQ(12, CodeAfterTask1());
}

TEST_F(SwLayerCheckTest, ZebVersionNumbersAreSignedDecimal) {
  g_zeb.a = 3;
  g_zeb.b = 2;
  g_zeb.c = 1;
  AddZeb();
  AddAllButZeb();
  RunCheck();
  EXPECT_NE(std::string::npos, ZebSection().find("ZebVersion: 3.2.1 \r\n"));

  report.Window().Clear();
  g_zeb.a = -1;
  g_zeb.c = 32767;
  RunCheck();
  EXPECT_NE(std::string::npos, ZebSection().find("ZebVersion: -1.2.32767 \r\n"));
  EXPECT_EQ(0, CodeAfterTask1());
}

TEST_F(SwLayerCheckTest, ZebMissingOtherExportsSkipsThoseCalls) {
  AddZeb({{"ZebVersionString", reinterpret_cast<void*>(&FakeZebVersionString)}});
  AddAllButZeb();
  RunCheck();
  EXPECT_EQ(
      "zeb_32.dll is accessible\r\n version: 4.2.0.17 string value: \"4.2.0.17\"\r\n"
      "Company Name : Velmora Technologies\r\n"
      "ZebVersionString: \"Zeb 4.2 (build 17)\"\r\nZebVersion: 0.0.0 \r\n",
      ZebSection());
  EXPECT_EQ(std::vector<std::string>{"ZebVersionString"}, g_zeb.calls);
  EXPECT_EQ(0, CodeAfterTask1());
  EXPECT_EQ(kOkBanner, Window().substr(Window().size() - std::strlen(kOkBanner)));
}

TEST_F(SwLayerCheckTest, ZebVersionTextIsTextAndStopsAtTheBuffersEnd) {
  g_zeb.versionText = "<b>Zeb</b> & co";
  AddZeb();
  AddAllButZeb();
  RunCheck();
  EXPECT_NE(std::string::npos, Window().find("ZebVersionString: \"<b>Zeb</b> & co\"\r\n"));
  EXPECT_NE(std::string::npos,
            Document().find("<i><font color=#900090>&lt;b&gt;Zeb&lt;/b&gt; &amp; co</font></i>"));

  report.Window().Clear();
  g_zeb.unterminated = true;
  RunCheck();
  EXPECT_NE(std::string::npos,
            Window().find("ZebVersionString: \"" + std::string(9999, 'x') + "\"\r\nZebVersion: "));
}

struct VisaCase {
  const char* company;
  uint32_t ms, ls;
  const char* expected;
};

TEST_F(SwLayerCheckTest, VisaMinimumByPublisher) {
  const std::string below = "######Wrong library version, please get a new one.\r\nYou should get version at least: ";
  const VisaCase cases[] = {
      {"Velmora Technologies", 0x004A0001, 0x00000009,
       "visa32.dll is accessible\r\n ######Wrong library version, please get a new one.\r\n"
       "You should get version at least: 74.1.1.0\r\n"
       "version: 74.1.0.9 string value: \"v\"\r\nCompany Name : Velmora Technologies\r\n"},
      {"Velmora Technologies", 0x004A0001, 0x00010000,
       "visa32.dll is accessible\r\n version: 74.1.1.0 string value: \"v\"\r\n"
       "Company Name : Velmora Technologies\r\n"},
      {"Velmora Technologies", 0x004B0000, 0x00000000,
       "visa32.dll is accessible\r\n version: 75.0.0.0 string value: \"v\"\r\n"
       "Company Name : Velmora Technologies\r\n"},
      {"National Instruments", 0x00020004, 0x00090000,
       "visa32.dll is accessible\r\n ######Wrong library version, please get a new one.\r\n"
       "You should get version at least: 2.5.0.0\r\n"
       "version: 2.4.9.0 string value: \"v\"\r\nCompany Name : National Instruments\r\n"},
      {"National Instruments", 0x00020005, 0x00000000,
       "visa32.dll is accessible\r\n version: 2.5.0.0 string value: \"v\"\r\n"
       "Company Name : National Instruments\r\n"},
      {"National Instruments", 0x00030000, 0x00000001,
       "visa32.dll is accessible\r\n version: 3.0.0.1 string value: \"v\"\r\n"
       "Company Name : National Instruments\r\n"},
      {"Acme Instruments", 0x00000000, 0x00000001,
       "Please uprgade your visa32.dll to National Instruments visa32.dll ver. 2.5 or Velmora "
       "Technologies visa32.dll ver. J.01.01\r\n"
       "visa32.dll is accessible\r\n version: 0.0.0.1 string value: \"v\"\r\n"
       "Company Name : Acme Instruments\r\n"},
      {"velmora technologies", 0x004A0001, 0x00010000,
       "Please uprgade your visa32.dll to National Instruments visa32.dll ver. 2.5 or Velmora "
       "Technologies visa32.dll ver. J.01.01\r\n"
       "visa32.dll is accessible\r\n version: 74.1.1.0 string value: \"v\"\r\n"
       "Company Name : velmora technologies\r\n"},
  };
  for (const VisaCase& c : cases) {
    FakeLibraries machine;
    machine.AddLibrary("zeb_32.dll", kAllZebExports);
    machine.AddLibrary("rz2290_32.dll");
    machine.AddLibrary("kv740m_32.dll");
    machine.AddLibrary("visa32.dll", {}, MakeVersion(c.ms, c.ls, c.company, "v"));
    machine.AddLibrary("msvcrt.dll");
    Platform platform = GetPlatform();
    platform.libraries = &machine;
    SetPlatform(platform);
    report.Window().Clear();
    CSwLayerCheck check;
    report.Run(check);
    EXPECT_EQ(c.expected, VisaSection()) << c.company << " " << c.ms << "." << c.ls;
    EXPECT_EQ(kOkBanner, Window().substr(Window().size() - std::strlen(kOkBanner)));
  }
}

TEST_F(SwLayerCheckTest, VisaMissingGetsTheAdviceAndTheSearch) {
  AddZeb();
  AddDrivers();
  AddRuntimeLibraries();
  RunCheck();
  EXPECT_EQ(std::string(kVisaAdvice) +
                "######visa32.dll###### is not accessible, trying to find it on your local drive "
                "C: ... \r\n0 files found \r\n",
            VisaSection());
  EXPECT_EQ(kOkBanner, Window().substr(Window().size() - std::strlen(kOkBanner)));
}

TEST_F(SwLayerCheckTest, MissingDriverIsReportedButTheLayerPasses) {
  AddZeb();
  libraries.AddLibrary("rz2290_32.dll");
  AddVisa("National Instruments", 0x00020005, 0);
  AddRuntimeLibraries();
  RunCheck();
  EXPECT_EQ(
      "rz2290_32.dll is accessible\r\n "
      "######kv740m_32.dll###### is not accessible, trying to find it on your local drive C: ... \r\n"
      "0 files found \r\n",
      Between(Window(), "ZebVersion: 4.2.17 \r\n", "visa32.dll is accessible"));
  EXPECT_EQ(kOkBanner, Window().substr(Window().size() - std::strlen(kOkBanner)));
}

TEST_F(SwLayerCheckTest, LibraryWithoutProductVersionShowsEmptyQuotes) {
  AddZeb();
  AddAllButZeb();
  FakeVersion version = MakeVersion(0x00060000, 0x1FE80000, "Example Systems", "");
  version.productVersion.reset();
  FakeLibraries machine;
  machine.AddLibrary("msvcp60.dll", {}, version);
  Platform platform = GetPlatform();
  platform.libraries = &machine;
  SetPlatform(platform);
  CSwLayerCheck check;
  Attach(check);
  EXPECT_EQ(1, check.CheckLibrary("msvcp60.dll"));
  check.Flush();
  EXPECT_EQ(
      "msvcp60.dll is accessible\r\n version: 6.0.8168.0 string value: \"\"\r\n"
      "Company Name : Example Systems\r\n",
      Window());
  EXPECT_EQ(
      "<b><font color=#009000>msvcp60.dll</font></b><b><font color=#009000> is accessible\r\n<br> "
      "</font></b>version: <i><font color=#900090>6</font></i>.<i><font color=#900090>0</font></i>."
      "<i><font color=#900090>8168</font></i>.<i><font color=#900090>0</font></i> string value: "
      "<i><font color=#900090>\"</font></i><i><font color=#900090></font></i><i><font "
      "color=#900090>\"</font></i><br>\r\nCompany Name : <i><font color=#900090>Example "
      "Systems</font></i><br>\r\n",
      Document());
}

TEST_F(SwLayerCheckTest, LibraryThatExistsButCannotBeLoadedHasNoVersionLines) {
  libraries.AddLibrary("rpcrt4.dll", {}, MakeVersion(5, 0, "Example Systems", "5"), false);
  files.AddFile("C:\\benchsentry\\rpcrt4.dll");
  libraries.AddLibrary("netapi32.dll", {}, MakeVersion(5, 0, "Example Systems", "5"), false);
  CSwLayerCheck check;
  Attach(check);
  EXPECT_EQ(1, check.CheckLibrary("rpcrt4.dll"));
  EXPECT_EQ(2, check.CheckLibrary("netapi32.dll"));
  check.Flush();
  EXPECT_EQ(
      "rpcrt4.dll######\r\nFile exists, but could not be loaded. This has to do with it's "
      "dependencies.\r\n"
      "######netapi32.dll###### is not accessible, trying to find it on your local drive C: ... \r\n"
      "0 files found \r\n",
      Window());
  EXPECT_EQ(0, files.OpenHandles());
}

TEST_F(SwLayerCheckTest, PlainStyleTextsStandUncolouredInTheDocument) {
  AddDrivers();
  AddVisa("Acme Instruments", 0x00010000, 0);
  AddRuntimeLibraries();
  files.AddFile("C:\\zeb_32.dll");
  RunCheck();
  EXPECT_NE(std::string::npos,
            Document().find("1 files found<br> \r\nThe most probable reason for this problem is "
                            "that one of the files: <b> visa32.dll, rz2290_32.dll, kv740m_32.dll "
                            "</b>is not accessible. <br>\r\n<br>\r\n<b><font color=#009000>rz2290_32.dll"));
  EXPECT_NE(std::string::npos,
            Document().find("</font></b>" + std::string(kVisaAdvice, std::strlen(kVisaAdvice) - 2) +
                            "\r\n<br><b><font color=#009000>visa32.dll"));

  FakeLibraries machine;
  machine.AddLibrary("zeb_32.dll", {{"ZebVersion", reinterpret_cast<void*>(&FakeZebVersion)}});
  machine.AddLibrary("visa32.dll", {},
                     MakeVersion(0x004A0001, 0x00000009, "Velmora Technologies", "J.01.00"));
  Platform platform = GetPlatform();
  platform.libraries = &machine;
  SetPlatform(platform);
  CSwLayerCheck check;
  ReportFixture other;
  other.Run(check);
  EXPECT_NE(std::string::npos,
            other.Document().find("Unable to call the DLL function ZebVersionString"
                                  "<b><font color=#ff0000>rz2290_32.dll"));
  EXPECT_NE(std::string::npos,
            other.Document().find(
                "<b><font color=#ff0000>Wrong library version, please get a new one.\r\n<br>"
                "</font></b>You should get version at least: <i><font color=#900090>74</font></i>."
                "<i><font color=#900090>1</font></i>.<i><font color=#900090>1</font></i>."
                "<i><font color=#900090>0</font></i>\r\n<br>version: <i><font color=#900090>74"));
}

TEST_F(SwLayerCheckTest, UnknownTaskWritesItsOwnInvalidTaskText) {
  CSwLayerCheck check;
  Attach(check);
  EXPECT_EQ(0, check.Step());
  EXPECT_EQ(1, check.Task());
  check.Flush();
  EXPECT_EQ("An error detected in task number, This should never happen. \r\n", Window());
}

}  // namespace

namespace {

class SwLayerSimulatedBenchTest : public HostTest {
 protected:
  SwLayerSimulatedBenchTest() {
    libraries.AddLibrary("rz2290_32.dll");
    EXPECT_TRUE(libraries.AddSimLibrary("kv740m_32.dll"));
    for (const char* name : {"msvcrt.dll", "msvcp60.dll", "advapi32.dll", "wsock32.dll",
                             "rpcrt4.dll", "netapi32.dll"}) {
      libraries.AddLibrary(name);
    }
  }
  std::string Section(const std::string& after, const std::string& before) {
    return Between(Window(), after, before);
  }
};

TEST_F(SwLayerSimulatedBenchTest, SimulatedZebAndAnOutdatedMakerVisa) {
  ASSERT_TRUE(libraries.AddSimLibrary("zeb_32.dll"));
  ASSERT_TRUE(libraries.AddSimLibrary("visa32.dll", "visa-maker-74109"));
  CSwLayerCheck check;
  report.Run(check);
  EXPECT_EQ(
      "zeb_32.dll is accessible\r\n version: 3.2.1.0 string value: \"3.2.1\"\r\n"
      "Company Name : Velmora Technologies\r\n"
      "ZebVersionString: \"Zeb photonic library 3.2.1 (simulated bench)\"\r\n"
      "ZebVersion: 3.2.1 \r\n",
      Section(ReportFixture::PlainBanner("SW "), "rz2290_32.dll"));
  EXPECT_EQ(
      "visa32.dll is accessible\r\n ######Wrong library version, please get a new one.\r\n"
      "You should get version at least: 74.1.1.0\r\n"
      "version: 74.1.0.9 string value: \"J.01.00\"\r\nCompany Name : Velmora Technologies\r\n",
      "visa32.dll" + Section("Company Name : Velmora Technologies\r\nvisa32.dll", "msvcrt.dll"));
  EXPECT_EQ(kOkBanner, Window().substr(Window().size() - std::strlen(kOkBanner)));
  EXPECT_EQ(0, libraries.TotalLoaded());
}

TEST_F(SwLayerSimulatedBenchTest, SimulatedZebWithoutVersionStringAndOtherVisas) {
  ASSERT_TRUE(libraries.AddSimLibrary("zeb_32.dll", "zeb-no-versionstring"));
  ASSERT_TRUE(libraries.AddSimLibrary("visa32.dll", "visa-other"));
  CSwLayerCheck check;
  report.Run(check);
  EXPECT_NE(std::string::npos,
            Window().find("Company Name : Velmora Technologies\r\n"
                          "Unable to call the DLL function ZebVersionString"
                          "rz2290_32.dll is accessible"));
  EXPECT_NE(std::string::npos, Window().find(std::string(kVisaAdvice) + "visa32.dll is accessible\r\n"
                                             " version: 1.0.0.0 string value: \"1.0\"\r\n"
                                             "Company Name : Open Instrument Works\r\n"));
  EXPECT_EQ(kFailedBanner, Window().substr(Window().size() - std::strlen(kFailedBanner)));
}

TEST_F(SwLayerSimulatedBenchTest, SimulatedNationalVisaAtItsMinimum) {
  ASSERT_TRUE(libraries.AddSimLibrary("zeb_32"));
  ASSERT_TRUE(libraries.AddSimLibrary("visa32.dll", "visa-ni-2500"));
  CSwLayerCheck check;
  report.Run(check);
  EXPECT_NE(std::string::npos, Window().find("visa32.dll is accessible\r\n version: 2.5.0.0 string value: "
                                             "\"2.5\"\r\nCompany Name : National Instruments\r\n"));
  EXPECT_EQ(std::string::npos, Window().find("Wrong library version"));
  EXPECT_EQ(kOkBanner, Window().substr(Window().size() - std::strlen(kOkBanner)));
}

}  // namespace
