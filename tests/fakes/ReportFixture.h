#pragma once
// Runs checks the way the main dialog does (window plain, document markup),
// through the same runner, and keeps both outputs for the test to compare.
// Without a progress the window is served where the check flushes (before it
// waits) and at the end.
#include <string>

#include "platform/Platform.h"
#include "report/CheckRunner.h"
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
  // The check run as a command runs it (attached, started, stepped to its
  // end); the number of Steps.
  int Run(CLayerCheck& check) {
    int steps = 0;
    Runner().Run(check, &steps);
    return steps;
  }
  // A check started by the test, stepped to its end as a command steps it;
  // the number of Steps.
  static int StepToEnd(CLayerCheck& check) {
    int steps = 0;
    CCheckRunner(CRunTarget()).StepToEnd(check, &steps);
    return steps;
  }
  CCheckRunner Runner() {
    CRunTarget target;
    target.window = &m_window;
    target.windowMode = kModePlain;
    target.document = &m_document;
    target.documentMode = kModeMarkup;
    return CCheckRunner(target);
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
