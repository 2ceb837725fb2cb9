#pragma once
// Owns one WinInet handle (HINTERNET) and closes it exactly once. Close may come from
// another thread than the one using the handle: that is how a running call is stopped,
// so the handle value is swapped out atomically and only one caller ever closes it.
#include <windows.h>
#include <wininet.h>

#include <atomic>

namespace twi::inet {

class InternetHandle {
 public:
  InternetHandle() = default;
  explicit InternetHandle(HINTERNET handle) : handle_(handle) {}
  ~InternetHandle() { Close(); }
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;

  // Takes ownership of `handle`, closing the one held before.
  void Reset(HINTERNET handle);
  HINTERNET Get() const { return handle_.load(); }
  explicit operator bool() const { return Get() != nullptr; }
  void Close();
  // Closes on a thread of the system's thread pool and returns at once. For a request
  // whose body was not read to its end: Wine drains the rest of the body inside
  // InternetCloseHandle, for as long as the server keeps sending, so that it can keep
  // the connection; a fast server would hold the closing thread for the whole download.
  void CloseInBackground();

 private:
  std::atomic<HINTERNET> handle_{nullptr};
};

}  // namespace twi::inet
