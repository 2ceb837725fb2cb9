#include "base/FindHandle.h"

#include "base/TextConv.h"

namespace twi {

FindHandle::FindHandle(const std::string& pattern)
    : handle_(FindFirstFileW(ToWide(pattern).c_str(), &data_)) {}

}  // namespace twi
