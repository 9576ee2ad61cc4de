#include <algorithm>

#include "host/LibraryProbe.h"
#include "tests/unit/platform/Win32TestSupport.h"

namespace {

using Win32FilesTest = Win32Test;

std::vector<std::string> Names(const std::vector<FindEntry>& entries) {
  std::vector<std::string> names;
  for (const FindEntry& entry : entries) names.push_back(entry.name);
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(Win32FilesTest, WritesBytesAsTheyAre) {
  ScratchFolder folder("write");
  IFileSystem& files = Win32Files();
  const std::string bytes("line one\r\nline two\nnul\0end", 27);
  const std::string path = folder / "report.txt";

  FileHandle file = files.CreateForWrite(path.c_str());
  ASSERT_NE(nullptr, file);
  EXPECT_TRUE(files.Write(file, bytes.data(), 10));
  EXPECT_TRUE(files.Write(file, bytes.data() + 10, bytes.size() - 10));
  EXPECT_TRUE(files.Close(file));
  EXPECT_EQ(bytes, ReadFileBytes(path));

  // Created again: truncated.
  file = files.CreateForWrite(path.c_str());
  ASSERT_NE(nullptr, file);
  EXPECT_TRUE(files.Write(file, "x", 1));
  EXPECT_TRUE(files.Close(file));
  EXPECT_EQ("x", ReadFileBytes(path));

  EXPECT_EQ(1, FileExists(path.c_str()));
  EXPECT_TRUE(files.DeleteFile(path.c_str()));
  EXPECT_EQ(0, FileExists(path.c_str()));
  EXPECT_FALSE(files.DeleteFile(path.c_str()));
  EXPECT_EQ(nullptr, files.CreateForWrite((folder / "no_folder\\report.txt").c_str()));
}

TEST_F(Win32FilesTest, OpenForReadRefusesFoldersAndMissingFiles) {
  ScratchFolder folder("open");
  folder.MakeFile("present.dll", "MZ");
  IFileSystem& files = Win32Files();
  FileHandle file = files.OpenForRead((folder / "present.dll").c_str());
  ASSERT_NE(nullptr, file);
  EXPECT_TRUE(files.Close(file));
  EXPECT_EQ(nullptr, files.OpenForRead((folder / "absent.dll").c_str()));
  EXPECT_EQ(nullptr, files.OpenForRead(folder.Path().c_str()));
}

TEST_F(Win32FilesTest, FindFilesListsEntriesWithTheirKind) {
  ScratchFolder folder("find");
  folder.MakeFolder("sub");
  folder.MakeFile("a.dll", "1");
  folder.MakeFile("b.txt", "2");
  IFileSystem& files = Win32Files();

  std::vector<FindEntry> entries;
  ASSERT_TRUE(files.FindFiles((folder / "*.*").c_str(), entries));
  EXPECT_EQ((std::vector<std::string>{".", "..", "a.dll", "b.txt", "sub"}), Names(entries));
  for (const FindEntry& entry : entries) {
    const bool folderEntry = entry.name == "." || entry.name == ".." || entry.name == "sub";
    EXPECT_EQ(folderEntry, entry.isDirectory) << entry.name;
    EXPECT_FALSE(entry.isLink) << entry.name;
  }

  ASSERT_TRUE(files.FindFiles((folder / "A.DLL").c_str(), entries));
  ASSERT_EQ(1u, entries.size());
  EXPECT_EQ("a.dll", entries[0].name);
  EXPECT_FALSE(files.FindFiles((folder / "zeb_32.dll").c_str(), entries));
  EXPECT_TRUE(entries.empty());
  EXPECT_FALSE(files.FindFiles((folder / "missing\\*.*").c_str(), entries));
}

TEST_F(Win32FilesTest, DriveSearchReportsAFoldersHitsBeforeItsSubfolders) {
  ScratchFolder folder("search");
  folder.MakeFolder("deeper\\deepest");
  folder.MakeFile("deeper\\deepest\\zeb_32.dll", "not a library");
  folder.MakeFile("zeb_32.dll", "not a library");
  CLibraryProbeCheck check;
  Attach(check);
  int counter = 0;
  EXPECT_EQ(2, check.FindFileOnDrive(folder.Path().c_str(), "zeb_32.dll", counter));
  EXPECT_EQ(2, counter);
  check.Flush();
  const std::string loadFailed =
      "######\r\nFile exists, but could not be loaded. This has to do with it's dependencies.\r\n";
  const std::string first = folder / "zeb_32.dll";
  const std::string second = folder / "deeper\\deepest\\zeb_32.dll";
  EXPECT_EQ("   Found " + first + " \r\nLoading the file explicitly...\r\n" + first + loadFailed +
                "   Found " + second + " \r\nLoading the file explicitly...\r\n" + second + loadFailed,
            window.Text());
}

}  // namespace
