#include "host/FileVersionInfo.h"

#include "host/LibraryProbe.h"
#include "tests/unit/host/HostTestSupport.h"

namespace {

class FileVersionInfoTest : public HostTest {
 protected:
  // Loads the library the way the probes do, reads it, releases it.
  int LoadWhileLoaded(const char* name, CFileVersionInfo& info) {
    ModuleHandle module = libraries.LoadLibrary(name);
    int result = info.Load(name);
    if (module != nullptr) libraries.FreeLibrary(module);
    return result;
  }
};

TEST_F(FileVersionInfoTest, ReadsFixedInformationAndStringsOfFirstTranslation) {
  FakeVersion version = MakeVersion(0x004A0001, 0x00010000, "Velmora Technologies", "J.01.01");
  version.translations = {0x04B00407, 0x04E40409};
  version.stringTable = "040704b0";
  version.otherStrings["040904e4"]["CompanyName"] = "Second Translation Ltd";
  libraries.AddLibrary("visa32.dll", {}, version);

  CFileVersionInfo info;
  ASSERT_EQ(1, LoadWhileLoaded("visa32.dll", info));
  EXPECT_EQ(0x004A0001u, info.FileVersionMS());
  EXPECT_EQ(0x00010000u, info.FileVersionLS());
  EXPECT_EQ(0x0407, info.Language());
  EXPECT_EQ(0x04B0, info.CodePage());
  EXPECT_EQ("Velmora Technologies", info.GetString("CompanyName"));
  EXPECT_EQ("J.01.01", info.GetString("ProductVersion"));
  EXPECT_EQ("", info.GetString("FileDescription"));
}

TEST_F(FileVersionInfoTest, WithoutTranslationTableUsesUsEnglishAnd1252) {
  FakeVersion version = MakeVersion(0x00010002, 0x00030004, "Example Systems", "1.2");
  version.translations.clear();
  libraries.AddLibrary("ole32.dll", {}, version);

  CFileVersionInfo info;
  ASSERT_EQ(1, LoadWhileLoaded("ole32.dll", info));
  EXPECT_EQ(0x0409, info.Language());
  EXPECT_EQ(1252, info.CodePage());
  EXPECT_EQ("Example Systems", info.GetString("CompanyName"));
}

TEST_F(FileVersionInfoTest, FailsForModulesNotLoadedOrWithoutUsableResource) {
  libraries.AddLibrary("noversion.dll");
  FakeVersion badSignature = MakeVersion(1, 0, "Example Systems", "1");
  badSignature.signature = 0x12345678;
  libraries.AddLibrary("badsig.dll", {}, badSignature);
  FakeVersion noFixed = MakeVersion(1, 0, "Example Systems", "1");
  noFixed.hasFixedInfo = false;
  libraries.AddLibrary("nofixed.dll", {}, noFixed);
  FakeVersion unreadable = MakeVersion(1, 0, "Example Systems", "1");
  unreadable.readFails = true;
  libraries.AddLibrary("unreadable.dll", {}, unreadable);
  AddPlainLibrary("notloaded.dll");

  for (const char* name : {"noversion.dll", "badsig.dll", "nofixed.dll", "unreadable.dll"}) {
    CFileVersionInfo info;
    EXPECT_EQ(0, LoadWhileLoaded(name, info)) << name;
  }
  CFileVersionInfo notLoaded;
  EXPECT_EQ(0, notLoaded.Load("notloaded.dll"));
  EXPECT_EQ("", notLoaded.GetString("CompanyName"));
  EXPECT_EQ(0, libraries.TotalLoaded());
}

TEST_F(FileVersionInfoTest, TrustsNoAnswerThatLeavesTheBlock) {
  // The block of this resource: header 8 bytes, fixed record at 8 (52 bytes),
  // translation at 60 (4), company name at 64 (21), product version at 85 (8): 93 bytes.
  const char* const kCompany = "\\StringFileInfo\\040704b0\\CompanyName";
  struct Case {
    const char* what;
    const char* query;
    int64_t offset;
    uint32_t length;
    uint32_t reportedSize;
    int loaded;
    const char* company;
    uint16_t language;
  } cases[] = {
      {"as read", "", 0, 0, 0, 1, "Velmora Technologies", 0x0407},
      {"fixed record under 52 bytes", "\\", 8, 51, 0, 0, "", 0x0409},
      {"fixed record past the end", "\\", 60, 52, 0, 0, "", 0x0409},
      {"fixed record before the block", "\\", -64, 52, 0, 0, "", 0x0409},
      {"fixed record of 4 GiB", "\\", 8, 0xFFFFFFFFu, 0, 0, "", 0x0409},
      {"block of exactly 1 MiB", "", 0, 0, 1u << 20, 1, "Velmora Technologies", 0x0407},
      {"block over 1 MiB", "", 0, 0, (1u << 20) + 1, 0, "", 0x0409},
      {"translation past the end", "\\VarFileInfo\\Translation", 90, 8, 0, 1, "", 0x0409},
      {"company name past the end", kCompany, 64, 1000, 0, 1, "", 0x0407},
      {"company name after the block", kCompany, 200, 1, 0, 1, "", 0x0407},
      {"company name before the block", kCompany, -1, 5, 0, 1, "", 0x0407},
      {"company name of 4 G characters", kCompany, 64, 0xFFFFFFFFu, 0, 1, "", 0x0407},
      {"empty company name at the end", kCompany, 93, 0, 0, 1, "", 0x0407},
      {"company name cut by its length", kCompany, 64, 7, 0, 1, "Velmora", 0x0407},
  };
  int index = 0;
  for (const Case& c : cases) {
    FakeVersion version = MakeVersion(0x004A0001, 0x00010000, "Velmora Technologies", "J.01.01");
    version.translations = {0x04B00407};
    version.reportedSize = c.reportedSize;
    if (*c.query != '\0') version.bentAnswers[c.query] = {c.offset, c.length};
    const std::string name = "hostile" + std::to_string(index++) + ".dll";
    libraries.AddLibrary(name, {}, version);

    CFileVersionInfo info;
    EXPECT_EQ(c.loaded, LoadWhileLoaded(name.c_str(), info)) << c.what;
    EXPECT_EQ(c.company, info.GetString("CompanyName")) << c.what;
    EXPECT_EQ(c.language, info.Language()) << c.what;
  }
}

TEST_F(FileVersionInfoTest, FailsWhenModulePathCannotBeRead) {
  AddPlainLibrary("ole32.dll");
  libraries.SetModuleFileNameFails(true);
  CFileVersionInfo info;
  EXPECT_EQ(0, LoadWhileLoaded("ole32.dll", info));
}

TEST_F(FileVersionInfoTest, ReadsTheProgramsOwnModuleWithoutName) {
  libraries.SetProgram("C:\\benchsentry\\benchsentry.exe",
                       MakeVersion(0x00010000, 0x00000000, "Velmora Technologies", "1.0"));
  CFileVersionInfo info;
  ASSERT_EQ(1, info.Load(nullptr));
  EXPECT_EQ("1.0", info.GetString("ProductVersion"));
  EXPECT_EQ(0x00010000u, info.FileVersionMS());
}

TEST_F(FileVersionInfoTest, PublisherFromFirstLetterOfCompanyName) {
  struct Case {
    const char* library;
    std::optional<std::string> company;
    int publisher;
  } cases[] = {
      {"ni.dll", std::string("National Instruments"), 2},
      {"vt.dll", std::string("Velmora Technologies"), 1},
      {"lower.dll", std::string("velmora technologies"), 0},
      {"empty.dll", std::string(""), 0},
      {"other.dll", std::string("Example Systems"), 0},
      {"nocompany.dll", std::nullopt, 0},
  };
  for (const Case& c : cases) {
    FakeVersion version = MakeVersion(1, 0, "", "1");
    version.companyName = c.company;
    libraries.AddLibrary(c.library, {}, version);
  }
  libraries.AddLibrary("plain.dll");

  CLibraryProbeCheck check;
  for (const Case& c : cases) EXPECT_EQ(c.publisher, check.GetLibraryPublisher(c.library)) << c.library;
  EXPECT_EQ(0, check.GetLibraryPublisher("plain.dll"));
  EXPECT_EQ(0, check.GetLibraryPublisher("missing.dll"));
  EXPECT_EQ(0, libraries.TotalLoaded());
}

TEST(FileVersionTest, DisplayFormAndComparison) {
  EXPECT_EQ("74.1.1.0", FileVersionText(0x004A0001, 0x00010000));
  EXPECT_EQ("65535.0.1.65535", FileVersionText(0xFFFF0000, 0x0001FFFF));
  EXPECT_FALSE(IsFileVersionBelow(0x004A0001, 0x00010000, 0x004A0001, 0x00010000));
  EXPECT_TRUE(IsFileVersionBelow(0x004A0001, 0x00010000, 0x004A0001, 0x00010001));
  EXPECT_TRUE(IsFileVersionBelow(0x004A0000, 0xFFFFFFFF, 0x004A0001, 0x00000000));
  EXPECT_FALSE(IsFileVersionBelow(0x004A0002, 0x00000000, 0x004A0001, 0x00010000));
  EXPECT_FALSE(IsFileVersionBelow(0, 0, 0, 0));
  // Unsigned: a high word with its top bit set is a large version, not a negative one.
  EXPECT_FALSE(IsFileVersionBelow(0x80000000, 0, 0x00020005, 0));
}

TEST_F(FileVersionInfoTest, WriteFileVersionShowsNumbersInInformationStyle) {
  CLayerCheck check;
  Attach(check);
  WriteFileVersion(check, 0x004A0001, 0x00010000, Finding::Library::version);
  check.Flush();
  EXPECT_EQ("74.1.1.0", Window());
  EXPECT_EQ(
      "<i><font color=#900090>74</font></i>.<i><font color=#900090>1</font></i>."
      "<i><font color=#900090>1</font></i>.<i><font color=#900090>0</font></i>",
      Document());
}

}  // namespace
