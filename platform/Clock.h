#pragma once
// Local time and the C library's processor clock.
#include <cstdint>
#include <ctime>

class IClock {
 public:
  virtual ~IClock() = default;
  // False when the local time cannot be obtained.
  virtual bool LocalTime(std::tm& time) = 0;
  // The C library clock in ticks (1000 per second on Windows); -1 when it
  // cannot be read.
  virtual int32_t Clock() = 0;
  // Sleeps for milliseconds without using the processor, or less when a
  // window of the thread has something to paint or input arrives, so that a
  // caller waiting in slices can let it paint between them. Without windows
  // it is a plain sleep.
  virtual void Wait(int32_t milliseconds) = 0;
  // A steady count of microseconds from an arbitrary start, for timing calls;
  // where the platform has nothing finer, the processor clock's.
  virtual int64_t Microseconds() { return static_cast<int64_t>(Clock()) * 1000; }
};
