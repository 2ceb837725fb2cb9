#include "platform/inet/InternetHandle.h"

namespace twi::inet {
namespace {

DWORD WINAPI CloseHandleProc(void* handle) {
  InternetCloseHandle(static_cast<HINTERNET>(handle));
  return 0;
}

}  // namespace

void InternetHandle::Reset(HINTERNET handle) {
  HINTERNET old = handle_.exchange(handle);
  if (old) InternetCloseHandle(old);
}

void InternetHandle::Close() { Reset(nullptr); }

void InternetHandle::CloseInBackground() {
  HINTERNET old = handle_.exchange(nullptr);
  if (old && !QueueUserWorkItem(&CloseHandleProc, old, WT_EXECUTEDEFAULT))
    InternetCloseHandle(old);
}

}  // namespace twi::inet
