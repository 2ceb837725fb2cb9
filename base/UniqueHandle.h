#pragma once
// Owns a kernel HANDLE and closes it once.
#include <windows.h>

#include <utility>

namespace twi {

class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE handle) : handle_(Normal(handle)) {}
  ~UniqueHandle() { Reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  HANDLE Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void Reset(HANDLE handle = nullptr) {
    if (handle_) CloseHandle(handle_);
    handle_ = Normal(handle);
  }

 private:
  static HANDLE Normal(HANDLE h) { return h == INVALID_HANDLE_VALUE ? nullptr : h; }
  HANDLE handle_ = nullptr;
};

}  // namespace twi
