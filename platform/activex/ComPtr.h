#pragma once
// Owning pointer to a COM interface: releases its reference when it goes away,
// adds one when it is copied.
#include <windows.h>
#include <unknwn.h>

#include <cstddef>
#include <utility>

namespace twi::activex {

template <class T>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  ComPtr(std::nullptr_t) noexcept {}
  ComPtr(const ComPtr& other) noexcept : p_(other.p_) {
    if (p_) p_->AddRef();
  }
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ~ComPtr() { Reset(); }
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(p_, other.p_);
    return *this;
  }

  // Takes over a reference that the caller owns (no AddRef).
  static ComPtr Adopt(T* pointer) noexcept {
    ComPtr result;
    result.p_ = pointer;
    return result;
  }

  T* Get() const noexcept { return p_; }
  T* operator->() const noexcept { return p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }

  // Releases the current pointer and hands out the slot for an out parameter.
  T** Put() noexcept {
    Reset();
    return &p_;
  }
  void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }

  void Reset() noexcept {
    if (p_) std::exchange(p_, nullptr)->Release();
  }

  // QueryInterface for another interface; empty when the object refuses it.
  template <class U>
  ComPtr<U> Query(const IID& iid) const noexcept {
    ComPtr<U> result;
    if (p_) p_->QueryInterface(iid, result.PutVoid());
    return result;
  }

 private:
  T* p_ = nullptr;
};

}  // namespace twi::activex
