// What every GUI test of benchsentry.exe shares: a scratch working directory, the
// program started in it, the report window, the save dialog and the file bytes.
#pragma once

#include "tests/gui/GuiDriver.h"
#include "tests/gui/GuiTestEnv.h"

#include <gtest/gtest.h>

#include <string>

namespace gui {

constexpr char kCaption[] = "Diagnostic Tool - Velmora Technologies";
constexpr char kIntro[] =
    "Velmora Technologies Diagnostic Tool Version 1.0\r\n\r\n"
    "This tool will allow you to check for every required component to run ZEB and "
    "Kestrix.\r\n"
    "It can also do some basic measurements on your mainframe and check if all the "
    "triggers work.\r\n";
constexpr char kReportHead[] =
    "<html>\n  <head>\n    <title>Velmora Technologies Diagnostic tool results</title>\n"
    "  </head>\n  <body bgcolor=#FFFFFF text=#000000 ><font face=\"Verdana, "
    "Arial,Helvetica, sans-serif\" size=-1>"
    "<b>Velmora Technologies <i>Diagnostic Tool version 1.0</i></b><br>";
constexpr char kViewClosing[] = "\n  </body>\n</html>";
constexpr char kViewFile[] = "temp~987.html";
constexpr char kFailedCaption[] = "Could not finish request";
constexpr char kHeaderRule[] = "**********************************************\r\n";

// Menu command ids, both of each command where it has two.
enum : WORD {
  kOsLayer = 32795, kOsLayerAlt = 32771,
  kSwLayer = 32796, kSwLayerAlt = 32772,
  kGpibLayer = 32797, kGpibLayerAlt = 32773,
  kInstrLayer = 32798, kInstrLayerAlt = 32774,
  kOpticalLayer = 32799, kOpticalLayerAlt = 32775,
  kDiagnoseAll = 32793, kDiagnoseAllAlt = 32776,
  kClear = 57632, kClearAlt = 1001,
  kSaveAsText = 32791, kSaveAsTextAlt = 1002,
  kSave = 57603, kSaveAlt = 1003,
  kViewAsHtml = 32789, kViewAsHtmlAlt = 1005,
  kSaveTrace = 32810,
  kExit = 32792,
  kAbout = 32802,
  kGetPhysicalAddress = 32806,
  kVisaLibraries = 32811,
};
constexpr WPARAM kAboutSysCommand = 16;

// The bytes a text-mode file of content holds: every LF written as CR LF.
std::string TextMode(const std::string& content);
// The report markup removed, as the report window shows it (without error markers).
std::string StripMarkup(const std::string& markup);
// Every occurrence of what removed.
std::string Without(std::string text, const std::string& what);
// The part of text from the first occurrence of from up to (not including) the first
// occurrence of to after it; empty when from is missing, the rest when to is.
std::string Section(const std::string& text, const std::string& from, const std::string& to);

class BenchsentryTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the program (by default the built one) with the working directory dir.
  void StartIn(const std::string& dir, const std::string& exe = std::string());
  // Copies the program, and the simulated bench's libraries when asked, into a folder
  // of its own below the working directory; returns the program's path there.
  std::string Stage(const std::string& folder, bool withBench);

  void Run(WORD command);
  // Runs a save command and answers its dialog with path.
  void SaveAs(WORD command, const std::string& path);
  // Waits for a message box, reads it and presses OK.
  CMessageBoxInfo AnswerMessageBox();
  std::string ReadFile(const std::string& path);
  void Screenshot(const std::string& suffix, HWND window = nullptr);
  // Ends the program by its close command.
  void Close();

  CAppUnderTest m_app;
  std::string m_dir;
  int m_screenshots = 0;
};

}  // namespace gui
