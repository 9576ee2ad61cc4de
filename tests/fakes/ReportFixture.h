#pragma once
// Runs checks the way the main dialog does (window plain, document markup) and
// keeps both outputs for the test to compare.
#include <string>

#include "platform/Platform.h"
#include "report/LayerCheck.h"
#include "tests/fakes/FakeClock.h"
#include "tests/fakes/FakeReportWindow.h"

class ReportFixture {
 public:
  ReportFixture() : m_saved(GetPlatform()) {
    Platform platform = m_saved;
    platform.clock = &m_clock;
    SetPlatform(platform);
  }
  ~ReportFixture() { SetPlatform(m_saved); }
  ReportFixture(const ReportFixture&) = delete;
  ReportFixture& operator=(const ReportFixture&) = delete;

  void Attach(CLayerCheck& check) {
    check.AttachWindow(&m_window, kModePlain);
    check.AttachBuffer(&m_document, kModeMarkup);
  }
  // Begin, then Step until -1 with the window served after each step, as the
  // main dialog runs a check (with a guard against a check that never ends).
  int Run(CLayerCheck& check, int maxSteps = 1000) {
    Attach(check);
    check.Begin();
    return StepToEnd(check, maxSteps);
  }
  // The steps taken, or -2 for a check that did not end.
  static int StepToEnd(CLayerCheck& check, int maxSteps = 1000) {
    int steps = 1;
    while (check.Step() != -1) {
      check.Flush();
      if (steps++ >= maxSteps) return -2;
    }
    check.Flush();
    return steps;
  }

  FakeClock& Clock() { return m_clock; }
  const std::string& WindowText() const { return m_window.Text(); }
  const std::string& Document() const { return m_document; }
  FakeReportWindow& Window() { return m_window; }

  // The header banner as Begin writes it into the window for the fixture's clock.
  static std::string PlainBanner(const std::string& name) {
    return "**********************************************\r\n" + name +
           "Layer check, Friday, March 02, 2001, 14:05:09,   \r\n"
           "**********************************************\r\n";
  }

 private:
  Platform m_saved;
  FakeClock m_clock;
  FakeReportWindow m_window;
  std::string m_document;
};
