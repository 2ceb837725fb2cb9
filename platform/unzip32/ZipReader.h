#pragma once
// The zip container, read through zlib's minizip: the end record and central directory
// (zip64 included), each entry's directory record and local header, and each entry's
// stored bytes as they lie in the archive. What those bytes mean (encryption,
// compression, CRC) is the caller's business.
#include <cstdint>
#include <memory>
#include <string>

namespace unzip32 {

// What a first look at a file finds, before the directory is read.
enum class ArchiveProbe {
  kCannotOpen,     // missing or unreadable
  kNoEndRecord,    // empty, or no end-of-central-directory record: not a zip file
  kHasEndRecord,
};

struct ProbeResult {
  ArchiveProbe kind = ArchiveProbe::kCannotOpen;
  bool beginsWithMZ = false;  // a Windows program starts with "MZ"
};

ProbeResult ProbeArchive(const std::wstring& path);

struct EntryInfo {
  std::string rawName;          // the name's bytes as stored
  uint32_t versionMadeBy = 0;   // high byte: the file system the entry was made on
  uint32_t versionNeeded = 0;   // low byte: zip format version, times ten
  uint32_t flags = 0;           // general-purpose bits
  uint32_t method = 0;
  uint32_t dosDateTime = 0;     // date in the high 16 bits, time in the low 16 bits
  uint32_t crc = 0;
  uint64_t compressedSize = 0;
  uint64_t uncompressedSize = 0;
  uint32_t internalAttributes = 0;
  uint32_t externalAttributes = 0;

  bool Encrypted() const { return (flags & 0x0001) != 0; }
  bool StrongEncryption() const { return (flags & 0x0040) != 0; }
  bool SizesFollowData() const { return (flags & 0x0008) != 0; }
  bool Utf8Name() const { return (flags & 0x0800) != 0; }
  bool IsText() const { return (internalAttributes & 1) != 0; }
};

class ZipReader {
 public:
  // Opens the archive and reads its end record; Ok() is false when minizip cannot
  // make sense of the directory.
  explicit ZipReader(const std::wstring& path);
  ~ZipReader();
  ZipReader(const ZipReader&) = delete;
  ZipReader& operator=(const ZipReader&) = delete;

  bool Ok() const { return handle_ != nullptr; }
  std::string Comment();

  // Walks the central directory: First(), then Next() while it returns true.
  // False from First() means no entries, or a broken directory (DirectoryBroken()).
  bool First();
  bool Next();
  bool DirectoryBroken() const { return broken_; }
  // Index (from 1) of the current entry.
  unsigned long Index() const { return index_; }
  bool ReadInfo(EntryInfo& info);

  // Opens the current entry's stored bytes; false when its local header is not where
  // the directory says.
  bool OpenStored();
  // Reads up to `size` stored bytes; 0 at the end, -1 when the archive ends early or
  // cannot be read.
  long ReadStored(unsigned char* buffer, unsigned size);
  void CloseStored();

 private:
  void* handle_ = nullptr;  // minizip's unzFile
  bool broken_ = false;
  bool entryOpen_ = false;
  unsigned long index_ = 0;
};

}  // namespace unzip32
