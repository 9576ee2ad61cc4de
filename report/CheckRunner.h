#pragma once
// A check run as a command, the same for every menu command, Diagnose All and
// the run without a window: wait cursor, output window ready, the check made,
// attached, started, stepped to its end with the window served after every
// step, cursor back, the check destroyed.
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

  explicit CCheckRunner(CRunTarget target) : m_target(std::move(target)) {}

  // The whole command; returns the layer code the verdict was decided on (0: OK).
  int32_t Run(const MakeCheck& make, const Finished& finished = Finished()) const;
  // The command's start for a check that goes on in a dialog: attached,
  // progress shown, started. Returns what the check's Start returned.
  int Begin(CLayerCheck& check) const;

 private:
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
