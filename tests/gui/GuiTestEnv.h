// Where the GUI tests find the program and the simulated bench, where they work and
// where they leave their results. Set by ctest through environment variables holding
// host paths; the tests see them as drive Z: paths.
#pragma once

#include <string>

namespace gui {

struct CGuiTestEnv {
  std::string exe;         // benchsentry.exe
  std::string testApp;     // the driver's own test dialog program
  std::string simDir;      // the simulated bench's libraries
  std::string standInDir;  // stand-ins of system libraries that Wine lacks
  std::string workRoot;    // scratch folders, one per test
  std::string resultsDir;  // screenshots and saved reports kept with the test results
  std::string cDrive;      // a scratch folder on drive C: (for the drive search)
  std::string benches;     // the simulated bench's bench files
  std::string golden;      // the native tests' expected instrument reports
  // How many times slower than a real machine this one runs (BS_SLOWNESS, 10 in the
  // emulated VM): limits on the program's own responsiveness are scaled by it.
  unsigned slowness = 1;
};

const CGuiTestEnv& Env();

// "/a/b" -> "Z:\a\b"; Windows paths are returned unchanged.
std::string ToWindowsPath(const std::string& path);

std::string JoinPath(const std::string& dir, const std::string& name);
bool RemoveTree(const std::string& path);
// Empties (or creates) a folder, with its parents.
bool MakeCleanDir(const std::string& path);
bool MakeDirs(const std::string& path);
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
bool ReadFileBytes(const std::string& path, std::string& bytes);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool CopyFileTo(const std::string& from, const std::string& to);

// A scratch folder named after the running test, emptied.
std::string TestWorkDir();
// A file path in the results folder named after the running test.
std::string ResultPath(const std::string& suffix);

}  // namespace gui
