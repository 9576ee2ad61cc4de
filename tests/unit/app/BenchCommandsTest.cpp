// "Triggers" and "Guided Optical Test" through their menu ids, on the simulated
// bench: the selection dialog only for more than one TLS, the guided dialog
// writing into the main report, and no dialog at all without a driver.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/fakes/BenchTemplates.h"
#include "tests/unit/app/AppFixture.h"

namespace {

class BenchCommandsTest : public BenchAppTest {
 protected:
  BenchCommandsTest() {
    DefineGuidedTestTemplate(m_dialogs);
    DefineTlsSelectTemplate(m_dialogs);
    m_clock.SetTicksPerRead(50);
  }

  size_t Runs(int32_t templateId) const {
    size_t runs = 0;
    for (HeadlessWindow* window : m_dialogs.Windows()) runs += window->TemplateId() == templateId;
    return runs;
  }
};

TEST_F(BenchCommandsTest, TriggersWithOneTlsRunsWithoutDialogOnBothIds) {
  ASSERT_TRUE(m_libraries.AddSimLibrary("kv740m_32.dll"));
  const std::string window = RunCommands({ID_DIAGNOSE_TRIGGERS, ID_DIAGNOSE_TRIGGERS_ALT});
  EXPECT_EQ(Runs(IDD_TLS_SELECT), 0u);
  EXPECT_EQ(Count(window, "Triggers Layer check, "), 2u);
  EXPECT_EQ(Count(window, "All powermeters have received the triggers.\r\n"), 2u);
  // No banner of its own closes the check: the verdict line ends it.
  EXPECT_EQ(window.find("Layer Check"), std::string::npos);
  EXPECT_EQ(JournalOf({"cursor on"}).size(), 0u);
}

TEST_F(BenchCommandsTest, TriggersWithTwoTlsesAsksAndCancelRunsNothing) {
  ASSERT_TRUE(m_libraries.AddSimLibrary("kv740m_32.dll"));
  m_bench.UseShipped("two-tls.toml");
  m_dialogs.QueueScript(IDD_TLS_SELECT,
                        {headless::Select(IDC_TLS_LIST, 1), headless::Click(kIdOk)});
  m_dialogs.QueueScript(IDD_TLS_SELECT, {headless::Click(kIdCancel)});
  const std::string window = RunCommands({ID_DIAGNOSE_TRIGGERS, ID_DIAGNOSE_TRIGGERS_ALT});
  EXPECT_EQ(Runs(IDD_TLS_SELECT), 2u);
  EXPECT_EQ(Count(window, "Starting a TLS sweep"), 1u);
  EXPECT_EQ(Count(window, "Found TLSes: "), 2u);
  EXPECT_EQ(DriverCalls({"kv740m_TLS_sweepControl"}).size(), 1u);
  EXPECT_NE(window.find("All powermeters have received the triggers.\r\n"), std::string::npos);
  // The second run ends with its list.
  const std::string second = window.substr(window.rfind("Found TLSes: "));
  EXPECT_EQ(second,
            "Found TLSes: \r\n"
            "GPIB0::20::INSTR, mainframe: VT7412A, TLS: VT7451B, SLOT0;"
            "GPIB0::21::INSTR, mainframe: VT7412A, TLS: 64290K, SLOT0;\r\n");
}

TEST_F(BenchCommandsTest, GuidedTestOnBothIdsWritesIntoTheMainReport) {
  ASSERT_TRUE(m_libraries.AddSimLibrary("kv740m_32.dll"));
  m_dialogs.QueueScript(IDD_GUIDED_TEST, {headless::Click(IDC_LASER_STATE), headless::Click(kIdOk),
                                          headless::Click(kIdCancel)});
  m_dialogs.QueueScript(IDD_GUIDED_TEST, {headless::Close()});
  const std::string window = RunCommands({ID_DIAGNOSE_GUIDED, ID_DIAGNOSE_GUIDED_ALT});
  EXPECT_EQ(Runs(IDD_GUIDED_TEST), 2u);
  EXPECT_EQ(m_dialogs.LastWindow(IDD_GUIDED_TEST)->Parent(), nullptr);
  EXPECT_EQ(Count(window, "Guided optical Layer check, "), 2u);
  EXPECT_EQ(Count(window, "Measurement for :"), 3u);
  EXPECT_EQ(Count(window, "TLS state (Laser state): On"), 1u);
  EXPECT_EQ(Count(m_document, "Measurement for :"), 3u);
  EXPECT_EQ(m_shell.WaitCursorDepth(), 0);
  EXPECT_EQ(m_shell.UnbalancedWaitCursors(), 0);
  for (HeadlessWindow* guided : m_dialogs.Windows()) {
    if (guided->TemplateId() == IDD_GUIDED_TEST) {
      EXPECT_EQ(guided->Result(), kIdCancel);
    }
  }
  // Every laser is off after each closing.
  const std::vector<std::string> switched = DriverCalls({"kv740m_set_TLS_laserState"});
  ASSERT_FALSE(switched.empty());
  EXPECT_EQ(switched.back().substr(switched.back().size() - 3), ",0)");
}

// Before a dialog or message box opens, the window holds everything the
// command wrote so far.
TEST_F(BenchCommandsTest, TheWindowIsServedBeforeEveryDialogAndMessageBox) {
  ASSERT_TRUE(m_libraries.AddSimLibrary("kv740m_32.dll"));
  const std::string stars = std::string(46, '*') + "\r\n";
  const struct {
    int32_t command;
    const char* bench;
    std::string event;  // the journal entry of the dialog or message box
    std::string shown;  // the end of the window's text at that moment
  } cases[] = {
      {ID_DIAGNOSE_TRIGGERS, "two-tls.toml", "modal " + std::to_string(IDD_TLS_SELECT),
       "TLS: 64290K, SLOT0;\r\n"},
      {ID_DIAGNOSE_GUIDED, "default.toml", "modal " + std::to_string(IDD_GUIDED_TEST), stars},
      {ID_DIAGNOSE_GUIDED, "empty-bus.toml", "messagebox No mainframe",
       "######Could not find any instrument.\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.event + " on " + c.bench);
    m_journal.clear();
    m_bench.UseShipped(c.bench);
    m_dialogs.QueueScript(IDD_TLS_SELECT, {headless::Click(kIdCancel)});
    m_dialogs.QueueScript(IDD_GUIDED_TEST, {headless::Close()});
    const std::string window = RunCommands({c.command});
    std::string before;
    bool seen = false;
    for (const std::string& entry : m_journal) {
      if (entry == c.event) seen = true;
      if (!seen && entry.compare(0, 16, "replacesel 1000 ") == 0) before += entry.substr(16);
    }
    ASSERT_TRUE(seen);
    EXPECT_EQ(before.substr(before.size() - std::min(before.size(), c.shown.size())), c.shown);
    EXPECT_EQ(window.compare(0, before.size(), before), 0);
  }
}

}  // namespace
