#include "updater/ProgramFile.h"

#include <windows.h>

#include "base/TextConv.h"
#include "base/UniqueHandle.h"

namespace twi::updater {
namespace {

bool ReadAt(HANDLE file, LONG offset, void* buffer, DWORD size) {
  if (SetFilePointer(file, offset, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return false;
  DWORD got = 0;
  return ReadFile(file, buffer, size, &got, nullptr) && got == size;
}

}  // namespace

bool IsRunnableProgram(const std::string& path) {
  UniqueHandle file(CreateFileW(ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  IMAGE_DOS_HEADER dos{};
  if (!ReadAt(file.Get(), 0, &dos, sizeof dos) || dos.e_magic != IMAGE_DOS_SIGNATURE) return false;
  if (dos.e_lfanew <= 0 || dos.e_lfanew > (1 << 20)) return false;
  DWORD signature = 0;
  IMAGE_FILE_HEADER header{};
  if (!ReadAt(file.Get(), dos.e_lfanew, &signature, sizeof signature) ||
      signature != IMAGE_NT_SIGNATURE)
    return false;
  if (!ReadAt(file.Get(), dos.e_lfanew + static_cast<LONG>(sizeof signature), &header,
              sizeof header))
    return false;
  return (header.Characteristics & IMAGE_FILE_EXECUTABLE_IMAGE) != 0 &&
         (header.Characteristics & IMAGE_FILE_DLL) == 0;
}

}  // namespace twi::updater
