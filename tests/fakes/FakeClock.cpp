#include "tests/fakes/FakeClock.h"

FakeClock::FakeClock() { SetLocalTime(2001, 3, 2, 14, 5, 9); }

void FakeClock::SetLocalTime(int year, int month, int day, int hour, int minute, int second) {
  std::tm time = {};
  time.tm_year = year - 1900;
  time.tm_mon = month - 1;
  time.tm_mday = day;
  time.tm_hour = hour;
  time.tm_min = minute;
  time.tm_sec = second;
  time.tm_isdst = 0;
  // Let the C library work out the weekday, as a real local time would carry it.
  std::tm normalised = time;
  std::mktime(&normalised);
  time.tm_wday = normalised.tm_wday;
  time.tm_yday = normalised.tm_yday;
  m_time = time;
}

bool FakeClock::LocalTime(std::tm& time) {
  if (m_failLocalTime) return false;
  time = m_time;
  return true;
}

int32_t FakeClock::Clock() {
  ++m_reads;
  m_ticks += m_step;
  return m_failClock ? -1 : m_ticks;
}

void FakeClock::Wait(int32_t milliseconds) {
  m_ticks += milliseconds;
  m_waited += milliseconds;
}

int64_t FakeClock::Microseconds() {
  m_micros += m_microStep;
  return static_cast<int64_t>(m_ticks) * 1000 + m_micros;
}
