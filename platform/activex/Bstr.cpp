#include "platform/activex/Bstr.h"

#include "base/RuntimeError.h"
#include "base/TextConv.h"

namespace twi::activex {

Bstr::Bstr(std::string_view utf8) {
  std::wstring wide = ToWide(utf8);
  b_ = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  if (!b_) throw RuntimeError(7, "Out of memory");
}

}  // namespace twi::activex
