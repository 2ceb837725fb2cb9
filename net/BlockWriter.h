#pragma once
// Writes a download's body to its file in large blocks: the body comes in 1024-byte
// chunks, and a system call per chunk would cost more than the transfer itself. The
// file is written whole blocks at a time, and once more at Close; leaving the writer by
// any other way (an error, a cancel) still writes what it holds and closes the file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/FileTable.h"

namespace twi {

class BlockWriter {
 public:
  static constexpr std::size_t kBlockSize = 256 * 1024;

  // Creates (or empties) `path` for binary writing under a free file number; throws
  // RuntimeError as FileTable::Open does.
  explicit BlockWriter(const std::string& path);
  // Writes what is held (an error is dropped: the caller is already leaving) and closes.
  ~BlockWriter();
  BlockWriter(const BlockWriter&) = delete;
  BlockWriter& operator=(const BlockWriter&) = delete;

  // Adds bytes, writing a block once one is full. Throws RuntimeError when the write
  // fails; the bytes of that block are then dropped.
  void Add(const std::vector<std::uint8_t>& bytes);
  // Writes what is held and closes the file; throws RuntimeError when the write fails
  // (the file is closed all the same).
  void Close();
  int FileNumber() const { return file_.Number(); }

 private:
  void Flush();

  ScopedFile file_;
  std::string block_;
};

}  // namespace twi
