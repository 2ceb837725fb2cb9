#pragma once
// Open files under small numbers: each open takes the lowest free number from
// 1, as the program's text files and the log's line prefix show. Files are
// closed when their number is closed (or when the table goes away); a
// ScopedFile closes its number whatever way its scope is left.
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "base/UniqueHandle.h"

namespace twi {

enum class FileMode {
  Output,       // create or truncate, write
  Append,       // create when missing, write at the end
  BinaryWrite,  // create or truncate, raw bytes
  BinaryRead,   // shared reading
};

class FileTable {
 public:
  FileTable() = default;
  FileTable(const FileTable&) = delete;
  FileTable& operator=(const FileTable&) = delete;

  int FreeFile() const;
  // Opens `path` (UTF-8) under the lowest free number; throws RuntimeError.
  int Open(const std::string& path, FileMode mode);
  void Close(int number);
  bool IsOpen(int number) const { return handles_.count(number) != 0; }
  // Raw bytes.
  void Write(int number, std::string_view bytes);
  // A UTF-8 text line written in the ANSI code page and ended by CR LF.
  void WriteLine(int number, std::string_view text);
  std::string ReadAll(int number);
  // Exactly `count` bytes; reading past the end is error 62.
  std::string Read(int number, size_t count);
  std::int64_t Length(int number) const;

 private:
  HANDLE Handle(int number) const;
  std::map<int, UniqueHandle> handles_;
};

FileTable& TheFiles();

// A file number that is closed when the object goes out of scope. Empty (0)
// until a file is opened into it.
class ScopedFile {
 public:
  ScopedFile() = default;
  // Opens `path` in the shared table; throws RuntimeError like FileTable::Open.
  ScopedFile(const std::string& path, FileMode mode) : number_(TheFiles().Open(path, mode)) {}
  // Takes over a number opened elsewhere (0 or less: none).
  explicit ScopedFile(int number) : number_(number > 0 ? number : 0) {}
  ~ScopedFile() { Close(); }
  ScopedFile(ScopedFile&& other) noexcept : number_(std::exchange(other.number_, 0)) {}
  ScopedFile& operator=(ScopedFile&& other) noexcept {
    if (this != &other) {
      Close();
      number_ = std::exchange(other.number_, 0);
    }
    return *this;
  }

  int Number() const { return number_; }
  explicit operator bool() const { return number_ > 0; }
  void Close() {
    if (number_ > 0) TheFiles().Close(std::exchange(number_, 0));
  }

 private:
  int number_ = 0;
};

}  // namespace twi
