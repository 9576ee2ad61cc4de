// A running command keeps its window alive: the caption says what runs, the
// window paints at the checks' natural points, and nothing that arrives
// meanwhile starts a second command or cuts the first one off.
#include <gtest/gtest.h>

#include "app/ReportExport.h"
#include "host/SwLayerCheck.h"
#include "instrument/OpticalLayerCheck.h"
#include "tests/fakes/BenchTemplates.h"
#include "tests/fakes/FakeProgress.h"
#include "tests/fakes/FakeReportWindow.h"
#include "tests/unit/app/AppFixture.h"

namespace {

const std::string kBusy = std::string(kMainCaption) + " - ";

class ProgressTest : public BenchAppTest {
 protected:
  ProgressTest() {
    DefineGuidedTestTemplate(m_dialogs);
    m_clock.SetTicksPerRead(50);
  }

  std::vector<std::string> Captions() const {
    std::vector<std::string> captions;
    for (const std::string& entry : JournalOf({"caption "})) captions.push_back(entry.substr(8));
    return captions;
  }
};

TEST_F(ProgressTest, CaptionFollowsTheOpticalCheckAndIsRestored) {
  ASSERT_TRUE(m_libraries.AddSimLibrary("kv740m_32.dll"));
  RunSteps({headless::Command(ID_LAYER_OPTICAL)});
  const std::vector<std::string> expected = {
      kMainCaption,
      kBusy + "Optical layer: starting",
      kBusy + "Optical layer: step 2",
      kBusy + "Optical layer: listing mainframes (this can take minutes)",
      kBusy + "Optical layer: mainframe GPIB0::20::INSTR",
      kBusy + "Optical layer: laser in slot 0 settling",
      kBusy + "Optical layer: mainframe GPIB0::22::INSTR",
      kMainCaption,
  };
  // At 50 ticks a clock read, steps 1 and 3 come within one refresh interval of
  // the caption before them; the calls that can block always get theirs.
  EXPECT_EQ(Captions(), expected);
  // The settle lets the window paint all along, not once: between sleeps of at
  // most a tenth of a second, at least once in two refresh intervals.
  EXPECT_GE(m_dialogs.PaintPumps(), 3000 / (2 * CDiagDlg::kRefreshTicks));
}

TEST_F(ProgressTest, WhatArrivesWhileACommandRunsStartsNothing) {
  ASSERT_TRUE(m_libraries.AddSimLibrary("kv740m_32.dll"));
  struct Case {
    const char* name;
    int32_t during;  // the template whose window gets the step
    HeadlessStep step;
    bool closes;  // the window closes once the command has ended
  };
  const Case cases[] = {
      {"a second command", IDD_BENCHSENTRY_DIALOG, headless::Command(ID_LAYER_OS), false},
      {"Exit", IDD_BENCHSENTRY_DIALOG, headless::Command(ID_FILE_EXIT), false},
      {"About from the system menu", IDD_BENCHSENTRY_DIALOG, headless::SysCommand(IDM_ABOUTBOX), false},
      {"the close message", IDD_BENCHSENTRY_DIALOG, headless::Close(), true},
      {"the close box", IDD_BENCHSENTRY_DIALOG, headless::SysCommand(kScClose), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    m_journal.clear();
    m_files.AddFile(kViewFileName, "old view");
    m_dialogs.QueueDuringPaint(c.during, c.step);
    const std::string window =
        RunSteps({headless::Command(ID_LAYER_OPTICAL), headless::Command(ID_LAYER_GPIB)});
    EXPECT_EQ(Count(window, "Optical Layer Checked, result OK."), 1u);
    EXPECT_EQ(window.find("OS Layer check"), std::string::npos);
    EXPECT_TRUE(JournalOf({"modal 100"}).empty());
    HeadlessWindow* main = m_dialogs.LastWindow(IDD_BENCHSENTRY_DIALOG);
    // A close waits for the end of the command, then ends the dialog before the next one.
    EXPECT_EQ(window.find("GPIB Layer check") == std::string::npos, c.closes);
    EXPECT_EQ(main->Result() == kIdCancel && main->Ended(), c.closes);
    EXPECT_EQ(m_files.FileBytes(kViewFileName).has_value(), !c.closes);
    EXPECT_EQ(Captions().back(), kMainCaption);
  }
}

TEST_F(ProgressTest, TheMainWindowTakesNoCommandUnderTheGuidedTest) {
  ASSERT_TRUE(m_libraries.AddSimLibrary("kv740m_32.dll"));
  HeadlessStep mainCommand = [](CHeadlessDialogBackend& backend, HeadlessWindow&) {
    backend.Command(*backend.LastWindow(IDD_BENCHSENTRY_DIALOG), ID_LAYER_OS);
  };
  m_dialogs.QueueScript(IDD_GUIDED_TEST, {mainCommand, headless::Click(kIdCancel)});
  // While the guided test lists and opens the mainframes, its own buttons do nothing.
  m_dialogs.QueueDuringPaint(IDD_GUIDED_TEST, headless::Click(kIdCancel));
  const std::string window = RunSteps({headless::Command(ID_DIAGNOSE_GUIDED)});
  EXPECT_EQ(window.find("OS Layer check"), std::string::npos);
  EXPECT_EQ(Count(window, "Guided optical Layer check, "), 1u);
  EXPECT_EQ(JournalOf({"during paint"}).size(), 1u);
}

TEST(DriveSearchProgressTest, CaptionEveryHundredFoldersPaintAtEach) {
  struct Case {
    int folders;  // added below C:; the drive also holds C: and the current directory
    std::vector<std::string> texts;
  };
  const std::string head = "SW layer: ";
  const Case cases[] = {
      {0, {head + "checking gone.dll", head + "searching C: for gone.dll (1 folder)"}},
      {98, {head + "checking gone.dll", head + "searching C: for gone.dll (1 folder)"}},
      {99, {head + "checking gone.dll", head + "searching C: for gone.dll (1 folder)",
             head + "searching C: for gone.dll (101 folders)"}},
      {1234, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folders);
    FakeFileSystem files;
    for (int i = 0; i < c.folders; ++i) files.AddDirectory("C:\\d" + std::to_string(i));
    FakeLibraries libraries;
    Platform saved = GetPlatform();
    Platform platform = saved;
    platform.files = &files;
    platform.libraries = &libraries;
    SetPlatform(platform);
    // The window outlives the check, which flushes into it when destroyed.
    FakeReportWindow window;
    CSwLayerCheck check;
    check.AttachWindow(&window, kModePlain);
    FakeProgress progress;
    check.SetProgress(&progress);
    check.CheckLibrary("gone.dll");
    SetPlatform(saved);
    // One paint for the library, one per folder searched.
    EXPECT_EQ(progress.Paints(), 1 + c.folders + 2);
    if (!c.texts.empty()) {
      EXPECT_EQ(progress.Texts(), c.texts);
    } else {
      EXPECT_EQ(progress.Texts().back(), head + "searching C: for gone.dll (1,201 folders)");
      EXPECT_EQ(progress.Texts().size(), 2u + 12u);
    }
  }
}

}  // namespace
