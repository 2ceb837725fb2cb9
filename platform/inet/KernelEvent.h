#pragma once
// Owns a Win32 event object: the transfer threads signal it, the GUI thread waits on it
// together with its message queue (MsgWaitForMultipleObjects).
#include <windows.h>

namespace twi::inet {

class KernelEvent {
 public:
  enum class Reset { Manual, Auto };
  explicit KernelEvent(Reset reset);
  ~KernelEvent();
  KernelEvent(const KernelEvent&) = delete;
  KernelEvent& operator=(const KernelEvent&) = delete;

  HANDLE Get() const { return handle_; }
  void Set() const { SetEvent(handle_); }
  void Clear() const { ResetEvent(handle_); }

 private:
  HANDLE handle_;
};

}  // namespace twi::inet
