#include "net/BlockWriter.h"

#include <optional>

#include "base/Trap.h"

namespace twi {

BlockWriter::BlockWriter(const std::string& path) : file_(path, FileMode::BinaryWrite) {
  block_.reserve(kBlockSize);
}

BlockWriter::~BlockWriter() {
  Ignoring([&] { Flush(); });
}

void BlockWriter::Add(const std::vector<std::uint8_t>& bytes) {
  block_.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (block_.size() >= kBlockSize) Flush();
}

void BlockWriter::Close() {
  std::optional<RuntimeError> error = Trapping([&] { Flush(); });
  file_.Close();
  if (error) throw *error;
}

void BlockWriter::Flush() {
  if (block_.empty() || !file_) return;
  std::optional<RuntimeError> error = Trapping([&] { TheFiles().Write(file_.Number(), block_); });
  block_.clear();
  if (error) throw *error;
}

}  // namespace twi
