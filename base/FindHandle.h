#pragma once
// Owns a file search handle (FindFirstFileW) and closes it once.
#include <windows.h>

#include <string>
#include <utility>

namespace twi {

class FindHandle {
 public:
  // Starts a search for `pattern` (UTF-8); the first match is in Data() when
  // the search found one.
  explicit FindHandle(const std::string& pattern);
  ~FindHandle() { Close(); }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;

  bool Found() const { return handle_ != INVALID_HANDLE_VALUE; }
  const WIN32_FIND_DATAW& Data() const { return data_; }
  // Moves to the next match; false when there is none.
  bool Next() { return Found() && FindNextFileW(handle_, &data_) != FALSE; }

 private:
  void Close() {
    if (Found()) FindClose(std::exchange(handle_, INVALID_HANDLE_VALUE));
  }
  WIN32_FIND_DATAW data_{};
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace twi
