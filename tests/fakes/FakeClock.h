#pragma once
// A clock that never waits: local time is whatever the test set, every read of
// the processor clock advances it by a fixed step, and a wait advances it by
// the time asked for.
#include <cstdint>
#include <ctime>

#include "platform/Clock.h"

class FakeClock : public IClock {
 public:
  FakeClock();
  // 24-hour local time; month 1-12.
  void SetLocalTime(int year, int month, int day, int hour, int minute, int second);
  void FailLocalTime(bool fail) { m_failLocalTime = fail; }
  void SetTicksPerRead(int32_t step) { m_step = step; }
  // Clock() gives -1, as the C library's clock does when it cannot be read.
  void FailClock(bool fail) { m_failClock = fail; }
  // Milliseconds asked for by Wait in all.
  int32_t Waited() const { return m_waited; }
  void Advance(int32_t ticks) { m_ticks += ticks; }
  int32_t Ticks() const { return m_ticks; }
  int32_t Reads() const { return m_reads; }

  bool LocalTime(std::tm& time) override;
  int32_t Clock() override;
  void Wait(int32_t milliseconds) override;
  // The ticks' milliseconds, and each read a further fixed step of microseconds.
  int64_t Microseconds() override;
  void SetMicrosecondsPerRead(int64_t step) { m_microStep = step; }

 private:
  std::tm m_time = {};
  bool m_failLocalTime = false;
  int32_t m_ticks = 0;
  int32_t m_step = 1;
  int32_t m_reads = 0;
  bool m_failClock = false;
  int32_t m_waited = 0;
  int64_t m_micros = 0;
  int64_t m_microStep = 250;
};
