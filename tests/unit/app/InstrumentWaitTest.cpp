// Library calls on the instrument thread: while one blocks, the window is
// served and refuses commands, a close waits for the command's end; and a
// command of many short steps refreshes its window at most once per interval.
#include <gtest/gtest.h>

#include <functional>

#include "app/DiagDlg.h"
#include "sim/SimExports.h"
#include "tests/fakes/FakeLibraries.h"
#include "tests/fakes/PlatformFixture.h"
#include "tests/unit/app/AppFixture.h"

namespace {

const std::string kBusy = std::string(kMainCaption) + " - ";

CallGate* g_listingGate = nullptr;
FakeClock* g_clock = nullptr;

// The listing's minute: held until the test has acted, then taken on the fake clock.
void HoldListing(int32_t milliseconds) {
  if (milliseconds < 60000 || g_listingGate == nullptr) return;
  g_listingGate->Enter();
  g_clock->Advance(milliseconds);
}

class InstrumentWaitTest : public AppTest {
 protected:
  InstrumentWaitTest() {
    Platform platform = GetPlatform();
    platform.libraries = &m_libraries;
    SetPlatform(platform);
    m_instrument.Start();
    g_clock = &m_clock;
  }
  ~InstrumentWaitTest() override { SimSetDelayHook(nullptr); }

  std::string RunCommands(const std::vector<HeadlessStep>& steps) {
    m_dialogs.QueueScript(IDD_BENCHSENTRY_DIALOG, steps);
    CDiagDlg dialog;
    dialog.DoModal();
    return m_dialogs.LastWindow(IDD_BENCHSENTRY_DIALOG)->Text(IDC_REPORT);
  }

  FakeLibraries m_libraries;
  SimBenchScope m_bench;
};

TEST_F(InstrumentWaitTest, AMinuteLongListingLeavesTheWindowServed) {
  ASSERT_TRUE(m_libraries.AddSimLibrary("kv740m_32.dll"));
  m_bench.Use(std::string(SimDefaultBenchText()) + "\n[listing]\ndelay_seconds = 60\n");
  SimSetDelayHook(&HoldListing);
  const std::string listing = kBusy + "Instrument layer: listing mainframes (this can take minutes)";
  struct Case {
    const char* name;
    HeadlessStep step;
    bool closes;
  };
  const Case cases[] = {
      {"a second command", headless::Command(ID_LAYER_OS), false},
      {"the close message", headless::Close(), true},
      {"Close from the system menu", headless::SysCommand(kScClose), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CallGate gate(m_instrument.Threads());
    g_listingGate = &gate;
    std::string captionDuring;
    size_t drawsDuring = 0;
    // Every hand-over waits; the one after the listing's caption is the listing.
    std::function<void(CHeadlessDialogBackend&, HeadlessWindow&)> during =
        [&](CHeadlessDialogBackend& backend, HeadlessWindow& window) {
          if (window.Caption() != listing) {
            backend.QueueDuringWait(IDD_BENCHSENTRY_DIALOG, during);
            return;
          }
          gate.WaitEntered();
          c.step(backend, window);
          window.SetIconic(true);
          backend.Send(window, kWmPaint, 0, 0);
          window.SetIconic(false);
          drawsDuring = window.Draws().size();
          captionDuring = window.Caption();
          gate.Release();
        };
    m_dialogs.QueueDuringWait(IDD_BENCHSENTRY_DIALOG, during);
    const std::string window =
        RunCommands({headless::Command(ID_LAYER_INSTR), headless::Command(ID_LAYER_GPIB)});
    g_listingGate = nullptr;
    EXPECT_NE(window.find("Instrument Layer Check"), std::string::npos);
    EXPECT_EQ(window.find("OS Layer check"), std::string::npos);
    EXPECT_EQ(drawsDuring, 1u);
    EXPECT_EQ(captionDuring, c.closes ? listing + " - closing when the listing has ended" : listing);
    HeadlessWindow* main = m_dialogs.LastWindow(IDD_BENCHSENTRY_DIALOG);
    EXPECT_EQ(window.find("GPIB Layer check") == std::string::npos, c.closes);
    EXPECT_EQ(main->Ended() && main->Result() == kIdCancel, c.closes);
    EXPECT_EQ(main->Caption(), kMainCaption);
  }
}

// Steps that write one line each and take no time of their own.
class CManyStepsCheck : public CLayerCheck {
 public:
  static constexpr int kSteps = 400;
  CManyStepsCheck() { SetName("Many "); }
  int Step() override {
    if (m_task > kSteps) return -1;
    Write(("line " + std::to_string(m_task++) + "\r\n").c_str());
    return 0;
  }
};

TEST_F(InstrumentWaitTest, ManyShortStepsRefreshOncePerInterval) {
  for (int32_t ticksPerRead : {1, 30, 100, 250}) {
    SCOPED_TRACE(ticksPerRead);
    m_journal.clear();
    m_clock.SetTicksPerRead(ticksPerRead);
    int32_t elapsed = 0;
    RunCommands({headless::Run([&](HeadlessWindow& window) {
      const int32_t start = m_clock.Ticks();
      static_cast<CDiagDlg*>(window.Dialog())->RunLayerCommand<CManyStepsCheck>();
      elapsed = m_clock.Ticks() - start;
    })});
    const size_t intervals = static_cast<size_t>(elapsed / CDiagDlg::kRefreshTicks);
    // The command's captions, the last one (back to the main caption) aside.
    const size_t captions = JournalOf({"caption "}, "cursor on").size() - 1;
    const size_t inserts = JournalOf({"replacesel "}, "cursor on").size();
    EXPECT_GE(captions, 1u);
    EXPECT_LE(captions, intervals + 1);
    // The last insert comes at the command's end, due or not.
    EXPECT_LE(inserts, intervals + 2);
    const std::string text = m_dialogs.LastWindow(IDD_BENCHSENTRY_DIALOG)->Text(IDC_REPORT);
    EXPECT_NE(text.find("line " + std::to_string(CManyStepsCheck::kSteps) + "\r\n"), std::string::npos);
  }
}

}  // namespace
