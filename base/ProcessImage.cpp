#include "base/ProcessImage.h"

#include <windows.h>
#include <psapi.h>

#include "base/TextConv.h"
#include "base/UniqueHandle.h"

namespace twi {

std::string ProcessImagePath(unsigned long pid) {
  if (pid == 0) return "";
  UniqueHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
  if (!process) return "";
  wchar_t image[MAX_PATH] = {};
  DWORD length = GetModuleFileNameExW(process.Get(), nullptr, image, MAX_PATH);
  return ToUtf8(std::wstring_view(image, length));
}

}  // namespace twi
