// A listing of 30 s on the instrument thread: the window answers the system
// all along, scrolls, runs no second command, and a close waits for the listing.
#include "tests/gui/BenchsentryFixture.h"

namespace gui {
namespace {

int FirstVisibleLine(HWND edit) {
  DWORD_PTR line = 0;
  SendMessageTimeoutA(edit, EM_GETFIRSTVISIBLELINE, 0, 0, SMTO_NORMAL, 1000, &line);
  return static_cast<int>(line);
}

class SlowListing : public BenchsentryTest {
 protected:
  void SetUp() override {
    BenchsentryTest::SetUp();
    SetEnvironmentVariableA("BENCHSENTRY_BENCH", JoinPath(Env().benches, "slow-listing.toml").c_str());
    ASSERT_NO_FATAL_FAILURE(StartIn(m_dir, Stage("app", true)));
  }
  void TearDown() override {
    BenchsentryTest::TearDown();
    SetEnvironmentVariableA("BENCHSENTRY_BENCH", nullptr);
  }
  // Starts the instrument layer and waits until its listing holds the instrument thread.
  void StartListing() {
    ASSERT_TRUE(m_app.PostCommand(kInstrLayer));
    ASSERT_TRUE(WaitForCaption(m_app.MainWindow(), kListing)) << Caption(m_app.MainWindow());
    m_listingStart = GetTickCount();
  }

  const std::string kListing =
      std::string(kCaption) + " - Instrument layer: listing mainframes (this can take minutes)";
  DWORD m_listingStart = 0;
};

TEST_F(SlowListing, AnswersEveryProbeScrollsAndRunsNoSecondCommand) {
  HWND main = m_app.MainWindow();
  HWND report = GetDlgItem(main, 1000);
  // Enough report to scroll through.
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(m_app.SendCommand(kOsLayer));
  ASSERT_NO_FATAL_FAILURE(StartListing());
  EXPECT_TRUE(m_app.PostCommand(kGpibLayer));

  // A person notices a window that takes a quarter second to answer; under emulation
  // everything, the answer included, is slower by the machine's own factor.
  const DWORD limit = 250 * Env().slowness;
  std::printf("slow listing: answer limit %lu ms (slowness factor %u)\n",
              static_cast<unsigned long>(limit), Env().slowness);
  DWORD longest = 0;
  int probes = 0;
  bool scrolled = false;
  while (Caption(main) == kListing) {
    const DWORD sent = GetTickCount();
    DWORD_PTR ignored = 0;
    const bool answered =
        SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, limit, &ignored) != 0;
    const DWORD took = GetTickCount() - sent;
    if (Caption(main) != kListing) break;
    ++probes;
    longest = took > longest ? took : longest;
    EXPECT_TRUE(answered) << "probe " << probes << " unanswered after " << took << " ms";
    EXPECT_FALSE(IsHungAppWindow(main)) << "probe " << probes;
    if (!scrolled && probes == 8) {
      // The wheel and Page Up move the view; the caret stays where the report goes on.
      const int bottom = FirstVisibleLine(report);
      PostMessageA(report, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
      Sleep(300 * Env().slowness);
      const int wheeled = FirstVisibleLine(report);
      PostMessageA(report, WM_KEYDOWN, VK_PRIOR, 1);
      Sleep(300 * Env().slowness);
      const int paged = FirstVisibleLine(report);
      EXPECT_LT(wheeled, bottom) << "the wheel did not scroll";
      // Where the wheel reached the top already, Page Up has nowhere to go.
      EXPECT_TRUE(paged < wheeled || wheeled == 0)
          << "Page Up did not scroll (lines " << bottom << ", " << wheeled << ", " << paged << ")";
      Screenshot(".scrolled.png");
      scrolled = true;
    }
    const DWORD spent = GetTickCount() - sent;
    if (spent < 250) Sleep(250 - spent);
  }
  const DWORD listed = GetTickCount() - m_listingStart;
  EXPECT_TRUE(scrolled);
  EXPECT_GE(listed, 25000u) << "the listing ended early";
  std::printf("slow listing: %d probes, longest answer %lu ms, listing %lu ms\n", probes,
              static_cast<unsigned long>(longest), static_cast<unsigned long>(listed));

  ASSERT_TRUE(WaitForCaption(main, kCaption)) << Caption(main);
  ASSERT_TRUE(m_app.WaitIdle());
  const std::string text = m_app.ReportText();
  EXPECT_NE(text.find("Instrument Layer Check"), std::string::npos) << text;
  EXPECT_EQ(text.find("GPIB Layer check"), std::string::npos) << "the second command ran";
  EXPECT_LT(text.rfind("OS Layer check"), text.find("Instrument Layer check"));
}

TEST_F(SlowListing, CloseDuringTheListingEndsTheProgramAfterIt) {
  HWND main = m_app.MainWindow();
  ASSERT_NO_FATAL_FAILURE(StartListing());
  EXPECT_TRUE(m_app.PostSysCommand(SC_CLOSE));
  EXPECT_TRUE(WaitForCaption(main, kListing + " - closing when the listing has ended", 2000))
      << Caption(main);
  Screenshot(".closing.png");
  EXPECT_TRUE(m_app.WaitForExit(60000)) << "the close was lost";
  EXPECT_GE(GetTickCount() - m_listingStart, 25000u) << "closed in the middle of the listing";
}

}  // namespace
}  // namespace gui
