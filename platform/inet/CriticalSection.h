#pragma once
// A lock for what the transfer threads and the GUI thread share: a Win32 critical
// section, which every Windows from XP on has (slim locks and condition variables came
// with Vista, and the toolchain's win32 threads model has no std::mutex). It is a
// BasicLockable, so std::lock_guard and std::unique_lock hold it. Held for a few
// statements only, never across a wait.
#include <windows.h>

#include <mutex>  // std::lock_guard, std::unique_lock

namespace twi::inet {

class CriticalSection {
 public:
  CriticalSection() { InitializeCriticalSection(&section_); }
  ~CriticalSection() { DeleteCriticalSection(&section_); }
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;

  void lock() { EnterCriticalSection(&section_); }
  void unlock() { LeaveCriticalSection(&section_); }

 private:
  CRITICAL_SECTION section_;
};

}  // namespace twi::inet
