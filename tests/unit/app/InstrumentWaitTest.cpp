// Library calls on the instrument thread: while one blocks, the window is
// served and refuses commands, a close waits for the command's end; and a
// command of many short steps refreshes its window at most once per interval.
#include <gtest/gtest.h>

#include <functional>

#include "sim/SimExports.h"
#include "tests/unit/app/AppFixture.h"

namespace {

// The listing's minute, held until the test has acted, then taken on the fake clock.
IThreads* g_threads = nullptr;
EventHandle g_listing = nullptr;   // the listing has started
EventHandle g_released = nullptr;  // the test is done with it
FakeClock* g_clock = nullptr;

void HoldListing(int32_t milliseconds) {
  if (milliseconds < 60000) return;
  g_threads->SetEvent(g_listing);
  g_threads->WaitForSingleObject(g_released);
  g_clock->Advance(milliseconds);
}

class InstrumentWaitTest : public BenchAppTest {
 protected:
  InstrumentWaitTest() {
    g_clock = &m_clock;
    g_threads = &m_instrument.Threads();
    g_listing = g_threads->CreateEvent();
    g_released = g_threads->CreateEvent();
  }
  ~InstrumentWaitTest() override { SimSetDelayHook(nullptr); }
};

TEST_F(InstrumentWaitTest, AMinuteLongListingLeavesTheWindowServed) {
  if (!CInstrumentThread::Running()) GTEST_SKIP() << "no threads to run it on";
  ASSERT_TRUE(m_libraries.AddSimLibrary("kv740m_32.dll"));
  m_bench.Use(std::string(SimDefaultBenchText()) + "\n[listing]\ndelay_seconds = 60\n");
  SimSetDelayHook(&HoldListing);
  const std::string listing = std::string(kMainCaption) +
                              " - Instrument layer: listing mainframes (this can take minutes)";
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
    std::string captionDuring;
    size_t drawsDuring = 0;
    // Every hand-over waits; the one after the listing's caption is the listing.
    std::function<void(CHeadlessDialogBackend&, HeadlessWindow&)> during =
        [&](CHeadlessDialogBackend& backend, HeadlessWindow& window) {
          if (window.Caption() != listing) return backend.QueueDuringWait(IDD_BENCHSENTRY_DIALOG, during);
          g_threads->WaitForSingleObject(g_listing);
          c.step(backend, window);
          window.SetIconic(true);
          backend.Send(window, kWmPaint, 0, 0);
          window.SetIconic(false);
          drawsDuring = window.Draws().size();
          captionDuring = window.Caption();
          g_threads->SetEvent(g_released);
        };
    m_dialogs.QueueDuringWait(IDD_BENCHSENTRY_DIALOG, during);
    const std::string window =
        RunSteps({headless::Command(ID_LAYER_INSTR), headless::Command(ID_LAYER_GPIB)});
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
    RunSteps({headless::Run([&](HeadlessWindow& window) {
      const int32_t start = m_clock.Ticks();
      static_cast<CDiagDlg*>(window.Dialog())->RunLayerCommand<CManyStepsCheck>();
      elapsed = m_clock.Ticks() - start;
    })});
    const size_t intervals = static_cast<size_t>(elapsed / CDiagDlg::kRefreshTicks);
    // The command's captions, the last one (back to the main caption) aside.
    const size_t captions = JournalOf({"caption "}, "cursor on").size() - 1;
    EXPECT_GE(captions, 1u);
    EXPECT_LE(captions, intervals + 1);
    // The last insert comes at the command's end, due or not.
    EXPECT_LE(JournalOf({"replacesel "}, "cursor on").size(), intervals + 2);
    const std::string text = m_dialogs.LastWindow(IDD_BENCHSENTRY_DIALOG)->Text(IDC_REPORT);
    EXPECT_NE(text.find("line " + std::to_string(CManyStepsCheck::kSteps) + "\r\n"), std::string::npos);
  }
}

// A bench library by name or path goes to the thread, load and free; anything else stays.
TEST_F(InstrumentWaitTest, OnlyTheBenchLibrariesGoToTheThread) {
  const std::pair<const char*, bool> names[] = {
      {"visa32.dll", true}, {"VISA32", true}, {"kv740m_32", true}, {"C:\\Copies\\Zeb_32.Dll", true},
      {"D:/x/zeb_32.dll", true}, {"msvcrt.dll", false}, {"myvisa32.dll", false},
      {"zeb_32.dll.bak", false}, {"C:\\zeb_32\\x.dll", false}, {"", false}, {nullptr, false}};
  for (const auto& [name, bench] : names) {
    EXPECT_EQ(CInstrumentLibraries::IsBenchLibrary(name), bench) << (name != nullptr ? name : "null");
  }
  if (!CInstrumentThread::Running()) GTEST_SKIP() << "no threads to run it on";
  // The window's wait runs once per hand-over.
  struct CCountingWait : IInstrumentWait {
    int calls = 0;
    void WaitForCall(EventHandle done) override { ++calls, g_threads->WaitForSingleObject(done); }
  } wait;
  CInstrumentThread::SetWaiter(&wait);
  ASSERT_TRUE(m_libraries.AddSimLibrary("zeb_32.dll"));
  m_libraries.AddLibrary("msvcrt.dll");
  ILibraries& libraries = *GetPlatform().libraries;
  for (const char* name : {"msvcrt.dll", "zeb_32.dll"}) libraries.FreeLibrary(libraries.LoadLibrary(name));
  CInstrumentThread::SetWaiter(nullptr);
  EXPECT_EQ(wait.calls, 2);
}

}  // namespace
