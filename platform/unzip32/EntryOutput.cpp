#include "platform/unzip32/EntryOutput.h"

#include <algorithm>

namespace unzip32 {

FileOutput::~FileOutput() { Discard(); }

bool FileOutput::Create(const std::wstring& folder) {
  // GetTempFileName writes the folder, a backslash and "uz~XXXX.tmp" into MAX_PATH
  // characters, and takes no folder longer than MAX_PATH - 14.
  wchar_t temp[MAX_PATH + 1] = {};
  if (folder.size() > MAX_PATH - 14) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return false;
  }
  if (GetTempFileNameW(folder.c_str(), L"uz~", 0, temp) == 0) return false;
  tempPath_ = temp;
  handle_ = CreateFileW(tempPath_.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle_ == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    DeleteFileW(tempPath_.c_str());
    tempPath_.clear();
    SetLastError(error);
    return false;
  }
  return true;
}

bool FileOutput::Write(const unsigned char* data, std::size_t size) {
  while (size > 0) {
    DWORD piece = static_cast<DWORD>(std::min<std::size_t>(size, 0x40000000));
    DWORD written = 0;
    if (!WriteFile(handle_, data, piece, &written, nullptr)) return false;
    if (written == 0) {  // nothing written and no error: never loop on it
      SetLastError(ERROR_WRITE_FAULT);
      return false;
    }
    data += written;
    size -= written;
  }
  return true;
}

bool FileOutput::Commit(const std::wstring& target, const FILETIME* lastWrite) {
  if (lastWrite != nullptr) SetFileTime(handle_, nullptr, nullptr, lastWrite);
  CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
  // A read-only file of the same name is being replaced on purpose.
  DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    SetFileAttributesW(target.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  }
  if (!MoveFileExW(tempPath_.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    DWORD error = GetLastError();
    Discard();
    SetLastError(error);
    return false;
  }
  tempPath_.clear();
  return true;
}

void FileOutput::Discard() {
  if (handle_ != INVALID_HANDLE_VALUE) {
    CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }
  if (!tempPath_.empty()) {
    DeleteFileW(tempPath_.c_str());
    tempPath_.clear();
  }
}

bool RoutineOutput::Write(const unsigned char* data, std::size_t size) {
  if (routine_ == nullptr || size == 0) return true;
  routine_(reinterpret_cast<LPSTR>(const_cast<unsigned char*>(data)),
           static_cast<unsigned long>(size));
  return true;
}

bool LineEndOutput::Write(const unsigned char* data, std::size_t size) {
  converted_.clear();
  converted_.reserve(size * 2);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == '\n' && !lastWasCR_) converted_.push_back('\r');
    converted_.push_back(data[i]);
    lastWasCR_ = data[i] == '\r';
  }
  return next_.Write(converted_.data(), converted_.size());
}

}  // namespace unzip32
