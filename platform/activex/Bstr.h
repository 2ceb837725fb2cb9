#pragma once
// Owning BSTR made from a UTF-8 text; freed when it goes away unless handed
// over (to a VARIANT) with Detach.
#include <windows.h>
#include <oleauto.h>

#include <string_view>
#include <utility>

namespace twi::activex {

class Bstr {
 public:
  explicit Bstr(std::string_view utf8);
  ~Bstr() { SysFreeString(b_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  Bstr(Bstr&& other) noexcept : b_(std::exchange(other.b_, nullptr)) {}

  BSTR Get() const noexcept { return b_; }
  BSTR Detach() noexcept { return std::exchange(b_, nullptr); }

 private:
  BSTR b_ = nullptr;
};

}  // namespace twi::activex
