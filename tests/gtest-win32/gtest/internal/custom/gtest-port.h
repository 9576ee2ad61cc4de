#ifndef GOOGLETEST_INCLUDE_GTEST_INTERNAL_CUSTOM_GTEST_PORT_H_
#define GOOGLETEST_INCLUDE_GTEST_INTERNAL_CUSTOM_GTEST_PORT_H_
// GoogleTest on the Win32-thread runtime, which has no std::mutex or
// std::condition_variable: the one class of GoogleTest that needs them,
// built on an atomic flag. It only starts GoogleTest's own test threads,
// which these tests never create.
#include <atomic>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
 public:
  Notification() = default;
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;
  void Notify() { m_notified.store(true); }
  void WaitForNotification() {
    while (!m_notified.load()) {
    }
  }

 private:
  std::atomic<bool> m_notified{false};
};

}  // namespace internal
}  // namespace testing

#endif  // GOOGLETEST_INCLUDE_GTEST_INTERNAL_CUSTOM_GTEST_PORT_H_
