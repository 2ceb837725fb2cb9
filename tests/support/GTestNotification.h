#pragma once
// GoogleTest's Notification (how its own threads are told to start) over a Win32 event.
// Its built-in one is made of std::mutex and std::condition_variable, which the win32
// threads model of the toolchain does not have; GoogleTest takes this one instead when
// GTEST_HAS_NOTIFICATION_ is set. Force-included before GoogleTest's headers.
#include <windows.h>

namespace testing::internal {

class Notification {
 public:
  Notification() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~Notification() { CloseHandle(event_); }
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;

  void Notify() { SetEvent(event_); }
  void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

 private:
  HANDLE event_;
};

}  // namespace testing::internal
