// The download engine's file writer: bytes on disk exactly as added, whatever the sizes,
// written also when the writer is left without Close, and a failing write reported.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "base/FileTable.h"
#include "base/RuntimeError.h"
#include "net/BlockWriter.h"
#include "support/TestServers.h"
#include "support/TestSupport.h"

namespace {

using twi::BlockWriter;

// Adds `bytes` in pieces of `piece` bytes, as the engine adds its chunks.
void AddInPieces(BlockWriter& writer, const std::string& bytes, std::size_t piece) {
  for (std::size_t at = 0; at < bytes.size(); at += piece) {
    std::size_t n = std::min(piece, bytes.size() - at);
    writer.Add(std::vector<std::uint8_t>(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                                         bytes.begin() + static_cast<std::ptrdiff_t>(at + n)));
  }
}

TEST(BlockWriter, TheFileHoldsExactlyWhatWasAddedWhateverTheSizes) {
  twitest::ScratchFolder dir;
  const std::size_t block = BlockWriter::kBlockSize;
  for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{1023}, block - 1, block,
                           block + 1, 3 * block + 5}) {
    SCOPED_TRACE(size);
    const std::string path = dir.File("out.bin");
    const std::string bytes = twitest::PatternBytes(size);
    BlockWriter writer(path);
    AddInPieces(writer, bytes, 1024);
    writer.Close();
    EXPECT_TRUE(twitest::ReadFileBytes(path) == bytes) << twitest::ReadFileBytes(path).size();
  }
}

TEST(BlockWriter, WritesInWholeBlocksAndWhatItHoldsOnEveryWayOut) {
  twitest::ScratchFolder dir;
  const std::string path = dir.File("out.bin");
  const std::string bytes = twitest::PatternBytes(BlockWriter::kBlockSize + 3000);
  {
    BlockWriter writer(path);
    AddInPieces(writer, bytes.substr(0, BlockWriter::kBlockSize - 1024), 1024);
    EXPECT_EQ(twitest::ReadFileBytes(path).size(), 0u) << "held until a block is full";
    AddInPieces(writer, bytes.substr(BlockWriter::kBlockSize - 1024), 1024);
    EXPECT_EQ(twitest::ReadFileBytes(path).size(), BlockWriter::kBlockSize);
    // Left without Close, as when the download ends with an error.
  }
  EXPECT_TRUE(twitest::ReadFileBytes(path) == bytes);
  std::optional<BlockWriter> closed(std::in_place, path);
  closed->Close();
  closed.reset();  // a second close on the way out does nothing
  EXPECT_EQ(twitest::ReadFileBytes(path), "");
}

TEST(BlockWriter, AWriteThatFailsIsReported) {
  twitest::ScratchFolder dir;
  BlockWriter writer(dir.File("out.bin"));
  twi::TheFiles().Close(writer.FileNumber());  // the file goes away under the writer
  const std::string bytes = twitest::PatternBytes(BlockWriter::kBlockSize);
  twi::RuntimeError error = twitest::ErrorOf([&] { AddInPieces(writer, bytes, 1024); });
  EXPECT_EQ(error.Number(), twi::err::BadFileNameOrNumber);
  EXPECT_EQ(twitest::ErrorOf([&] {
              writer.Add({1, 2, 3});
              writer.Close();
            }).Number(),
            twi::err::BadFileNameOrNumber);
}

}  // namespace
