#include "updater/FileHold.h"

#include <windows.h>

#include "base/TextConv.h"
#include "base/UniqueHandle.h"
#include "updater/Processes.h"

namespace twi::updater {

FileHold HoldOn(const std::string& path) {
  if (IsProgramRunning(path)) return {true, 0};
  UniqueHandle file(CreateFileW(ToWide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD error = file ? 0 : GetLastError();
  return {false, error == ERROR_FILE_NOT_FOUND ? 0u : static_cast<unsigned long>(error)};
}

}  // namespace twi::updater
