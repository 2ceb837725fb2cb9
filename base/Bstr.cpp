#include "base/Bstr.h"

#include "base/RuntimeError.h"
#include "base/TextConv.h"

namespace twi {

Bstr::Bstr(std::string_view utf8) {
  std::wstring wide = ToWide(utf8);
  b_ = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  if (!b_) throw RuntimeError::Numbered(err::OutOfMemory);
}

std::string Bstr::Text() const {
  return b_ ? ToUtf8(std::wstring_view(b_, SysStringLen(b_))) : std::string();
}

}  // namespace twi
