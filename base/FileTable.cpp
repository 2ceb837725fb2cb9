#include "base/FileTable.h"

#include <algorithm>

#include "base/NoDestructor.h"
#include "base/RuntimeError.h"
#include "base/TextConv.h"

namespace twi {

int FileTable::FreeFile() const {
  int number = 1;
  while (handles_.count(number)) ++number;
  return number;
}

int FileTable::Open(const std::string& path, FileMode mode) {
  DWORD access = GENERIC_WRITE, share = FILE_SHARE_READ | FILE_SHARE_WRITE,
        disposition = CREATE_ALWAYS;
  switch (mode) {
    case FileMode::Output:
    case FileMode::BinaryWrite: break;
    case FileMode::Append: disposition = OPEN_ALWAYS; break;
    case FileMode::BinaryRead:
      access = GENERIC_READ;
      disposition = OPEN_EXISTING;
      break;
  }
  if (path.empty()) throw RuntimeError::Numbered(err::BadFileNameOrNumber);
  UniqueHandle handle(CreateFileW(ToWide(path).c_str(), access, share, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) throw RuntimeError::FromLastError();
  if (mode == FileMode::Append) SetFilePointer(handle.Get(), 0, nullptr, FILE_END);
  int number = FreeFile();
  handles_[number] = std::move(handle);
  return number;
}

void FileTable::Close(int number) {
  handles_.erase(number);
}

HANDLE FileTable::Handle(int number) const {
  auto it = handles_.find(number);
  if (it == handles_.end()) throw RuntimeError::Numbered(err::BadFileNameOrNumber);
  return it->second.Get();
}

void FileTable::Write(int number, std::string_view bytes) {
  HANDLE handle = Handle(number);
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD part = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
    DWORD written = 0;
    if (!WriteFile(handle, bytes.data() + done, part, &written, nullptr))
      throw RuntimeError::FromLastError();
    done += written;
  }
}

void FileTable::WriteLine(int number, std::string_view text) {
  Write(number, Utf8ToAnsi(text) + "\r\n");
}

std::string FileTable::ReadAll(int number) {
  HANDLE handle = Handle(number);
  std::string bytes;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(handle, buffer, sizeof buffer, &got, nullptr) && got > 0)
    bytes.append(buffer, got);
  return bytes;
}

std::string FileTable::Read(int number, size_t count) {
  HANDLE handle = Handle(number);
  std::string bytes(count, '\0');
  size_t done = 0;
  while (done < count) {
    DWORD got = 0;
    DWORD part = static_cast<DWORD>(std::min<size_t>(count - done, 1u << 20));
    if (!ReadFile(handle, bytes.data() + done, part, &got, nullptr))
      throw RuntimeError::FromLastError();
    if (got == 0) throw RuntimeError::Numbered(err::InputPastEnd);
    done += got;
  }
  return bytes;
}

std::int64_t FileTable::Length(int number) const {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(Handle(number), &size)) throw RuntimeError::FromLastError();
  return size.QuadPart;
}

FileTable& TheFiles() { return SharedInstance<FileTable>(); }

}  // namespace twi
