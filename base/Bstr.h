#pragma once
// Owns a BSTR: made from a UTF-8 text, or taken over from a call that returned
// one; freed when it goes away unless handed over (to a VARIANT) with Detach.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>
#include <utility>

namespace twi {

class Bstr {
 public:
  explicit Bstr(std::string_view utf8);
  // Takes over a BSTR that a call allocated (null is fine).
  static Bstr Adopt(BSTR owned) noexcept { return Bstr(owned); }
  ~Bstr() { SysFreeString(b_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  Bstr(Bstr&& other) noexcept : b_(std::exchange(other.b_, nullptr)) {}

  BSTR Get() const noexcept { return b_; }
  BSTR Detach() noexcept { return std::exchange(b_, nullptr); }
  // The text as UTF-8 ("" for a null BSTR).
  std::string Text() const;

 private:
  explicit Bstr(BSTR owned) noexcept : b_(owned) {}
  BSTR b_ = nullptr;
};

}  // namespace twi
