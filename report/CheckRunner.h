#pragma once
// A check run as a command, the same for every menu command, Diagnose All, the
// run without a window and the tests: wait cursor, output window ready, the
// check attached and started, then stepped to its end with the window served
// after every step (or, for the trigger and guided tests, their own flow once
// the start succeeded), cursor back, the check destroyed.
#include <cstdint>
#include <functional>
#include <memory>

#include "report/LayerCheck.h"

// Where a command's check writes, and what the command does around it.
struct CRunTarget {
  IReportWindow* window = nullptr;
  int32_t windowMode = kModeOff;
  ReportDocument* document = nullptr;
  int32_t documentMode = kModeOff;
  // Null: no progress shown, nothing painted.
  ICheckProgress* progress = nullptr;
  bool waitCursor = false;
  // Readies the output window before the check is made; may be empty.
  std::function<void()> prepare;
};

class CCheckRunner {
 public:
  using MakeCheck = std::function<std::unique_ptr<CLayerCheck>()>;
  // Called with the finished check before it is destroyed.
  using Finished = std::function<void(CLayerCheck&)>;
  // What a check does after a start that succeeded, in place of its steps.
  using Flow = std::function<void()>;

  explicit CCheckRunner(CRunTarget target) : m_target(std::move(target)) {}

  // The whole command; returns the layer code the verdict was decided on (0: OK).
  int32_t Run(const MakeCheck& make, const Finished& finished = Finished()) const;
  // The same for a check that the caller holds; steps: how many Steps it took.
  int32_t Run(CLayerCheck& check, int* steps = nullptr) const;
  // Steps a started check to its end, as Run does.
  int32_t StepToEnd(CLayerCheck& check, int* steps = nullptr) const;
  // A command that goes on in its own flow (a dialog, a sweep) once the check
  // has started; the flow writes through check and flushes where it waits.
  void RunFlow(CLayerCheck& check, const Flow& flow) const;

 private:
  // Attached, progress shown, started: what the check's Start returned.
  int Begin(CLayerCheck& check) const;
  // The command around the check that check() gives when the window is ready.
  int32_t Execute(const std::function<CLayerCheck&()>& check, int* steps) const;

  CRunTarget m_target;
};

// The wait cursor for as long as the object lives.
class CWaitCursor {
 public:
  explicit CWaitCursor(bool wanted = true);
  ~CWaitCursor();
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;
  // Back to the normal cursor before the object ends.
  void End();

 private:
  bool m_on = false;
};
