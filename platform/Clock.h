#pragma once
// Local time and the C library's processor clock.
#include <cstdint>
#include <ctime>

class IClock {
 public:
  virtual ~IClock() = default;
  // False when the local time cannot be obtained.
  virtual bool LocalTime(std::tm& time) = 0;
  // The C library clock in ticks (1000 per second on Windows).
  virtual int32_t Clock() = 0;
};
