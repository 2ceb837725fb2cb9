#pragma once
// Owns a Win32 event object: the transfer threads signal it, the GUI thread waits on it
// together with its message queue (MsgWaitForMultipleObjects).
#include <windows.h>

#include "base/UniqueHandle.h"

namespace twi::inet {

class KernelEvent {
 public:
  enum class Reset { Manual, Auto };
  explicit KernelEvent(Reset reset);

  HANDLE Get() const { return handle_.Get(); }
  void Set() const { SetEvent(handle_.Get()); }
  void Clear() const { ResetEvent(handle_.Get()); }

 private:
  UniqueHandle handle_;
};

}  // namespace twi::inet
