#pragma once
// The main dialog on the headless backend: fake shell, files and clock, the
// dialog templates as benchsentry.rc defines them, and one journal that the
// dialog backend, the shell and test checks all write to, so the order of
// everything a command does can be read back.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/DiagDlg.h"
#include "app/resource.h"
#include "platform/Platform.h"
#include "tests/fakes/FakeClock.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FakeLibraries.h"
#include "tests/fakes/FakeShell.h"
#include "tests/fakes/FakeText.h"
#include "tests/fakes/FakeThreads.h"
#include "tests/fakes/HeadlessDialog.h"
#include "tests/fakes/PlatformFixture.h"

// "Inf&o über benchsentry..." in the program's 8-bit code page.
constexpr char kAboutMenuText[] = "Inf&o \xFC" "ber benchsentry...";

class AppTest : public ::testing::Test {
 protected:
  AppTest() : m_saved(GetPlatform()) {
    Platform platform;
    platform.shell = &m_shell;
    platform.dialogs = &m_dialogs;
    platform.files = &m_files;
    platform.clock = &m_clock;
    SetPlatform(platform);
    m_shell.SetJournal(&m_journal);
    m_dialogs.SetJournal(&m_journal);
    m_files.AddDirectory("C:\\benchsentry");
    m_files.AddDirectory("C:\\reports");

    HeadlessTemplate main;
    main.caption = "benchsentry";
    main.controls.push_back({IDC_REPORT, HeadlessControlKind::Edit, "", true});
    m_dialogs.DefineTemplate(IDD_BENCHSENTRY_DIALOG, main);

    HeadlessTemplate about;
    about.caption = "about";
    about.controls.push_back({kIdOk, HeadlessControlKind::Button, "OK", true});
    m_dialogs.DefineTemplate(IDD_ABOUTBOX, about);

    m_dialogs.DefineString(IDS_ABOUTBOX, kAboutMenuText);
    m_dialogs.DefineIcon(IDR_MAINFRAME);
  }
  ~AppTest() override { SetPlatform(m_saved); }

  // Journal entries that start with one of the prefixes, in order.
  // With from set, only entries from the first one starting with it.
  std::vector<std::string> JournalOf(const std::vector<std::string>& prefixes,
                                     const std::string& from = std::string()) const {
    std::vector<std::string> picked;
    bool started = from.empty();
    for (const std::string& entry : m_journal) {
      if (!started && entry.compare(0, from.size(), from) == 0) started = true;
      if (!started) continue;
      for (const std::string& prefix : prefixes) {
        if (entry.compare(0, prefix.size(), prefix) == 0) {
          picked.push_back(entry);
          break;
        }
      }
    }
    return picked;
  }

  static std::string ReadData(const std::string& name) {
    std::ifstream file(std::string(BS_TEST_DATA_DIR) + "/" + name, std::ios::binary);
    EXPECT_TRUE(file.good()) << name;
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
  }

  // Runs the main dialog through the steps (or menu commands); keeps its
  // document and returns its report window's text.
  std::string RunSteps(const std::vector<HeadlessStep>& steps) {
    m_dialogs.QueueScript(IDD_BENCHSENTRY_DIALOG, steps);
    CDiagDlg dialog;
    dialog.DoModal();
    m_document = dialog.Report();
    return m_dialogs.LastWindow(IDD_BENCHSENTRY_DIALOG)->Text(IDC_REPORT);
  }
  std::string RunCommands(const std::vector<int32_t>& ids) {
    std::vector<HeadlessStep> steps;
    for (int32_t id : ids) steps.push_back(headless::Command(id));
    return RunSteps(steps);
  }

  std::string FileBytes(const std::string& path) const {
    auto bytes = m_files.FileBytes(path);
    EXPECT_TRUE(bytes.has_value()) << path;
    return bytes.value_or(std::string());
  }

  Platform m_saved;
  std::vector<std::string> m_journal;
  FakeShell m_shell;
  CHeadlessDialogBackend m_dialogs;
  FakeFileSystem m_files;
  FakeClock m_clock;
  std::string m_document;
  // Started by a fixture once its libraries are in place.
  InstrumentThreadScope m_instrument;
};

// The same on the simulated bench: its libraries as the fake table gives them
// (a test adds the ones it needs), the default bench again at the end.
class BenchAppTest : public AppTest {
 protected:
  BenchAppTest() {
    Platform platform = GetPlatform();
    platform.libraries = &m_libraries;
    SetPlatform(platform);
    DriverJournal().clear();
    m_instrument.Start();
  }

  FakeLibraries m_libraries;
  SimBenchScope m_bench;
};
