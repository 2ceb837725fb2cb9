#include "platform/unzip32/ZipReader.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "ioapi.h"
#include "iowin32.h"
#include "unzip.h"

namespace unzip32 {
namespace {

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  HANDLE Get() const { return handle_; }
  bool Ok() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

bool ReadAt(HANDLE file, uint64_t offset, unsigned char* buffer, DWORD size) {
  LARGE_INTEGER position;
  position.QuadPart = static_cast<LONGLONG>(offset);
  if (!SetFilePointerEx(file, position, nullptr, FILE_BEGIN)) return false;
  DWORD done = 0;
  return ReadFile(file, buffer, size, &done, nullptr) && done == size;
}

// The end record sits in the last 22 bytes plus at most a 65535-byte comment.
constexpr uint64_t kEndRecordSize = 22;
constexpr uint64_t kEndSearchSpan = kEndRecordSize + 0xFFFF;

unzFile Handle(void* handle) { return static_cast<unzFile>(handle); }

}  // namespace

ProbeResult ProbeArchive(const std::wstring& path) {
  ProbeResult result;
  FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Ok()) return result;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.Get(), &size)) return result;
  const uint64_t fileSize = static_cast<uint64_t>(size.QuadPart);
  result.kind = ArchiveProbe::kNoEndRecord;
  unsigned char start[2] = {0, 0};
  if (fileSize >= 2 && ReadAt(file.Get(), 0, start, 2)) {
    result.beginsWithMZ = start[0] == 'M' && start[1] == 'Z';
  }
  if (fileSize < kEndRecordSize) return result;
  const uint64_t span = std::min(fileSize, kEndSearchSpan);
  std::vector<unsigned char> tail(static_cast<std::size_t>(span));
  if (!ReadAt(file.Get(), fileSize - span, tail.data(), static_cast<DWORD>(span))) {
    result.kind = ArchiveProbe::kCannotOpen;
    return result;
  }
  for (std::size_t i = tail.size() - kEndRecordSize + 1; i-- > 0;) {
    if (tail[i] == 'P' && tail[i + 1] == 'K' && tail[i + 2] == 5 && tail[i + 3] == 6) {
      result.kind = ArchiveProbe::kHasEndRecord;
      break;
    }
  }
  return result;
}

ZipReader::ZipReader(const std::wstring& path) {
  zlib_filefunc64_def functions;
  fill_win32_filefunc64W(&functions);
  handle_ = unzOpen2_64(path.c_str(), &functions);
}

ZipReader::~ZipReader() {
  if (handle_ != nullptr) {
    CloseStored();
    unzClose(Handle(handle_));
  }
}

std::string ZipReader::Comment() {
  unz_global_info64 global;
  if (unzGetGlobalInfo64(Handle(handle_), &global) != UNZ_OK || global.size_comment == 0) {
    return {};
  }
  std::string comment(global.size_comment, '\0');
  int got = unzGetGlobalComment(Handle(handle_), comment.data(), comment.size() + 1);
  if (got < 0) return {};
  comment.resize(static_cast<std::size_t>(got));
  return comment;
}

bool ZipReader::First() {
  CloseStored();
  index_ = 1;
  int rc = unzGoToFirstFile(Handle(handle_));
  broken_ = rc != UNZ_OK && rc != UNZ_END_OF_LIST_OF_FILE;
  return rc == UNZ_OK;
}

bool ZipReader::Next() {
  CloseStored();
  ++index_;
  int rc = unzGoToNextFile(Handle(handle_));
  broken_ = rc != UNZ_OK && rc != UNZ_END_OF_LIST_OF_FILE;
  return rc == UNZ_OK;
}

bool ZipReader::ReadInfo(EntryInfo& info) {
  unz_file_info64 record;
  if (unzGetCurrentFileInfo64(Handle(handle_), &record, nullptr, 0, nullptr, 0, nullptr, 0) !=
      UNZ_OK) {
    return false;
  }
  info.rawName.assign(record.size_filename, '\0');
  if (record.size_filename > 0 &&
      unzGetCurrentFileInfo64(Handle(handle_), &record, info.rawName.data(),
                              record.size_filename, nullptr, 0, nullptr, 0) != UNZ_OK) {
    return false;
  }
  info.versionMadeBy = record.version;
  info.versionNeeded = record.version_needed;
  info.flags = record.flag;
  info.method = record.compression_method;
  info.dosDateTime = record.dosDate;
  info.crc = record.crc;
  info.compressedSize = record.compressed_size;
  info.uncompressedSize = record.uncompressed_size;
  info.internalAttributes = record.internal_fa;
  info.externalAttributes = record.external_fa;
  return true;
}

bool ZipReader::OpenStored() {
  CloseStored();
  int method = 0;
  int level = 0;
  if (unzOpenCurrentFile2(Handle(handle_), &method, &level, 1) != UNZ_OK) return false;
  entryOpen_ = true;
  return true;
}

long ZipReader::ReadStored(unsigned char* buffer, unsigned size) {
  int got = unzReadCurrentFile(Handle(handle_), buffer, size);
  return got < 0 ? -1 : got;
}

void ZipReader::CloseStored() {
  if (entryOpen_) {
    unzCloseCurrentFile(Handle(handle_));
    entryOpen_ = false;
  }
}

}  // namespace unzip32
