// Wiz_SingleEntryUnzip: one run over one archive. The texts printed here are those
// `unzip` prints in the same situations (see Unzip32.h for the choices made).
#include "platform/unzip32/Unzip32.h"

#include <zlib.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cwctype>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "platform/unzip32/EntryOutput.h"
#include "platform/unzip32/EntryPath.h"
#include "platform/unzip32/ZipCrypto.h"
#include "platform/unzip32/ZipReader.h"

namespace unzip32 {
namespace {

constexpr unsigned kBufferSize = 256 * 1024;
// Paths without the "\\?\" prefix: a folder leaves room for a file name of 8.3
// characters (CreateDirectory's limit), and a file's path fits MAX_PATH with its NUL.
constexpr std::size_t kMaxFolderPath = MAX_PATH - 12;
constexpr std::size_t kMaxFilePath = MAX_PATH - 1;
// What a file takes on a disk beyond its bytes is counted as a cluster of most disks;
// a run leaves this much of the target's disk free.
constexpr uint64_t kClusterSize = 4096;
constexpr uint64_t kKeptFree = 1024 * 1024;
constexpr int kPasswordTries = 3;
constexpr unsigned kFormatVersion = 45;

// Message levels: a text printed "at level N" appears when MessageLevel <= N.
constexpr int kAll = 0;     // `unzip`
constexpr int kQuiet = 1;   // also `unzip -q`
constexpr int kSilent = 2;  // also `unzip -qq`

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  char small[512];
  va_list copy;
  va_copy(copy, args);
  int length = std::vsnprintf(small, sizeof small, format, copy);
  va_end(copy);
  std::string text;
  if (length < static_cast<int>(sizeof small)) {
    text.assign(small, length > 0 ? static_cast<std::size_t>(length) : 0);
  } else {
    text.assign(static_cast<std::size_t>(length) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(static_cast<std::size_t>(length));
  }
  va_end(args);
  return text;
}

std::string Padded(const std::string& name, std::size_t width = 22) {
  return name.size() >= width ? name : name + std::string(width - name.size(), ' ');
}

// "  inflating: name                    " and its kin: the action right-aligned in
// eight columns before "ing: ", the name padded to 22 columns, two spaces.
std::string ActionHead(const char* stem, const std::string& name) {
  std::string head(8 - std::min<std::size_t>(8, std::char_traits<char>::length(stem)), ' ');
  return head + stem + "ing: " + Padded(name) + "  ";
}

class Printer {
 public:
  Printer(UnzipPrintRoutine routine, int level) : routine_(routine), level_(level) {}
  int Level() const { return level_; }
  void At(int level, const std::string& text) const {
    if (routine_ != nullptr && level_ <= level && !text.empty()) {
      std::string copy = text;  // the routine may write into its buffer
      routine_(copy.data(), static_cast<unsigned long>(copy.size()));
    }
  }

 private:
  UnzipPrintRoutine routine_;
  int level_;
};

class Inflater {
 public:
  Inflater() { ok_ = inflateInit2(&stream_, -MAX_WBITS) == Z_OK; }
  ~Inflater() {
    if (ok_) inflateEnd(&stream_);
  }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;
  bool Ok() const { return ok_; }
  z_stream& Stream() { return stream_; }

 private:
  z_stream stream_{};
  bool ok_ = false;
};

enum class DataOutcome { kOk, kBadCrc, kBadData, kTooLong, kWriteFailed, kNoMemory };

struct DataResult {
  DataOutcome outcome = DataOutcome::kOk;
  uint32_t crc = 0;
};

struct Buffers {
  std::vector<unsigned char> in = std::vector<unsigned char>(kBufferSize);
  std::vector<unsigned char> out = std::vector<unsigned char>(kBufferSize);
};

// Reads the open entry's remaining stored bytes, decrypts and inflates them, checks
// the CRC and length and hands the bytes to `output` (when there is one). It stops
// at the size the entry's header declares: a small archive whose data inflate to
// far more than it says must not fill the disk before its length is checked.
DataResult DecodeEntry(ZipReader& reader, const EntryInfo& info, ZipCrypto* crypto,
                       EntryOutput* output, Buffers& buffers) {
  DataResult result;
  uLong crc = crc32(0, nullptr, 0);
  uint64_t total = 0;
  auto deliver = [&](const unsigned char* data, std::size_t size) {
    if (size > info.uncompressedSize - total) return DataOutcome::kTooLong;
    crc = crc32_z(crc, data, size);
    total += size;
    return output == nullptr || output->Write(data, size) ? DataOutcome::kOk
                                                           : DataOutcome::kWriteFailed;
  };
  std::optional<Inflater> inflater;
  if (info.method == Z_DEFLATED) {
    inflater.emplace();
    if (!inflater->Ok()) return {DataOutcome::kNoMemory, 0};
  }
  bool streamEnd = info.method != Z_DEFLATED;
  for (;;) {
    long got = reader.ReadStored(buffers.in.data(), kBufferSize);
    if (got < 0) return {DataOutcome::kBadData, 0};
    if (got == 0) break;
    if (crypto != nullptr) crypto->Decrypt(buffers.in.data(), static_cast<std::size_t>(got));
    if (!inflater) {
      DataOutcome delivered = deliver(buffers.in.data(), static_cast<std::size_t>(got));
      if (delivered != DataOutcome::kOk) return {delivered, 0};
      continue;
    }
    z_stream& zs = inflater->Stream();
    zs.next_in = buffers.in.data();
    zs.avail_in = static_cast<uInt>(got);
    while (!streamEnd) {
      zs.next_out = buffers.out.data();
      zs.avail_out = kBufferSize;
      int rc = inflate(&zs, Z_NO_FLUSH);
      std::size_t produced = kBufferSize - zs.avail_out;
      DataOutcome delivered = produced > 0 ? deliver(buffers.out.data(), produced)
                                           : DataOutcome::kOk;
      if (delivered != DataOutcome::kOk) return {delivered, 0};
      if (rc == Z_STREAM_END) {
        streamEnd = true;
      } else if (rc == Z_MEM_ERROR) {
        return {DataOutcome::kNoMemory, 0};
      } else if (rc != Z_OK && rc != Z_BUF_ERROR) {
        return {DataOutcome::kBadData, 0};
      }
      // More output may be waiting only when the output buffer was filled.
      if (zs.avail_out != 0 && zs.avail_in == 0) break;
      if (rc == Z_BUF_ERROR && produced == 0) break;
    }
  }
  if (!streamEnd) return {DataOutcome::kBadData, 0};
  result.crc = static_cast<uint32_t>(crc);
  if (result.crc != info.crc) {
    result.outcome = DataOutcome::kBadCrc;
  } else if (total != info.uncompressedSize) {
    result.outcome = DataOutcome::kBadData;
  }
  return result;
}

// The entry's DOS date and time (local time) as a UTC file time.
std::optional<FILETIME> EntryTime(uint32_t dosDateTime) {
  SYSTEMTIME local{};
  local.wYear = static_cast<WORD>(1980 + ((dosDateTime >> 25) & 0x7F));
  local.wMonth = static_cast<WORD>((dosDateTime >> 21) & 0x0F);
  local.wDay = static_cast<WORD>((dosDateTime >> 16) & 0x1F);
  local.wHour = static_cast<WORD>((dosDateTime >> 11) & 0x1F);
  local.wMinute = static_cast<WORD>((dosDateTime >> 5) & 0x3F);
  local.wSecond = static_cast<WORD>((dosDateTime & 0x1F) * 2);
  SYSTEMTIME utc{};
  FILETIME result{};
  if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) ||
      !SystemTimeToFileTime(&utc, &result)) {
    return std::nullopt;
  }
  return result;
}

uint64_t Ticks(const FILETIME& time) {
  return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// True when the entry is newer than the existing file. The zip format keeps times to
// two seconds, so the file's time is first rounded up to the next even second.
bool EntryIsNewer(const std::optional<FILETIME>& entryTime, const FILETIME& fileTime) {
  if (!entryTime) return true;
  constexpr uint64_t kTwoSeconds = 20000000;
  uint64_t file = Ticks(fileTime);
  uint64_t rounded = (file + kTwoSeconds - 1) / kTwoSeconds * kTwoSeconds;
  return Ticks(*entryTime) > rounded;
}

bool WildcardMatch(const wchar_t* pattern, const wchar_t* text, bool caseSensitive) {
  auto same = [caseSensitive](wchar_t a, wchar_t b) {
    return caseSensitive ? a == b : std::towlower(a) == std::towlower(b);
  };
  const wchar_t* star = nullptr;
  const wchar_t* resume = nullptr;
  while (*text != L'\0') {
    if (*pattern == L'*') {
      star = pattern++;
      resume = text;
    } else if (*pattern == L'?' || (*pattern != L'\0' && same(*pattern, *text))) {
      ++pattern;
      ++text;
    } else if (star != nullptr) {
      pattern = star + 1;
      text = ++resume;
    } else {
      return false;
    }
  }
  while (*pattern == L'*') ++pattern;
  return *pattern == L'\0';
}

std::vector<std::wstring> Patterns(int count, char** list) {
  std::vector<std::wstring> patterns;
  for (int i = 0; list != nullptr && i < count; ++i) {
    if (list[i] != nullptr && list[i][0] != '\0') patterns.push_back(FromAnsi(list[i]));
  }
  return patterns;
}

bool MatchesAny(const std::vector<std::wstring>& patterns, const std::wstring& name,
                bool caseSensitive) {
  return std::any_of(patterns.begin(), patterns.end(), [&](const std::wstring& p) {
    return WildcardMatch(p.c_str(), name.c_str(), caseSensitive);
  });
}

bool IsFolderEntry(const std::wstring& name) {
  return !name.empty() && (name.back() == L'/' || name.back() == L'\\');
}

std::string Plural(unsigned long count) { return count == 1 ? "" : "s"; }

uint64_t SaturatingAdd(uint64_t a, uint64_t b) { return b > UINT64_MAX - a ? UINT64_MAX : a + b; }

// The space a file of `size` bytes takes: its clusters (at least one).
uint64_t SpaceOfFile(uint64_t size) {
  if (size > UINT64_MAX - kClusterSize) return UINT64_MAX;
  return (size / kClusterSize + 1) * kClusterSize;
}

class Run {
 public:
  Run(const UnzipOptions& options, UnzipCallbacks* callbacks,
      std::vector<std::wstring> includes, std::vector<std::wstring> excludes)
      : options_(options),
        callbacks_(callbacks),
        printer_(callbacks != nullptr ? callbacks->Print : nullptr,
                 std::clamp(options.MessageLevel, 0, 2)),
        includes_(std::move(includes)),
        excludes_(std::move(excludes)) {}

  int Execute();

 private:
  enum class Existing { kWrite, kKeep };

  int Finish();
  void NoteResult(int code) { worst_ = std::max(worst_, code); }
  void FillTotals(ZipReader& reader);
  // The space the wanted entries declare (in clusters), and whether it fits on the
  // target's disk with kKeptFree left over; prints why not.
  uint64_t SpaceNeeded(ZipReader& reader) const;
  bool FitsOnDisk(ZipReader& reader);
  bool Wanted(const std::wstring& name) const;
  // Creates every folder of `folders` below the target; prints "creating:" for those
  // that are new when `announce` is set. False when one cannot be made.
  bool MakeFolders(const std::vector<std::wstring>& folders, bool announce);
  std::wstring FolderPath(const std::vector<std::wstring>& folders) const;
  Existing DecideExisting(const std::wstring& target, const std::optional<FILETIME>& entryTime,
                          bool exists,
                          const FILETIME& existingTime);
  // Asks for and checks the password of an encrypted entry, reading its 12-byte
  // header; nullopt when no password fitted.
  std::optional<ZipCrypto> Unlock(ZipReader& reader, const EntryInfo& info,
                                  const std::string& shownName);
  // One entry; false stops the run (result already noted).
  bool ProcessEntry(ZipReader& reader, const EntryInfo& info);
  // Prints and notes what went wrong with an entry's data; false stops the run.
  bool ReportDataFault(const DataResult& data, const EntryInfo& info, const std::string& shown,
                       const std::wstring& target);
  void ListEntry(const EntryInfo& info, const std::string& shownName);

  const UnzipOptions& options_;
  UnzipCallbacks* callbacks_;
  Printer printer_;
  std::vector<std::wstring> includes_;
  std::vector<std::wstring> excludes_;
  std::string zipName_;     // as given, for the texts
  std::wstring targetDir_;  // without trailing backslash
  Buffers buffers_;
  std::string goodPassword_;
  bool replaceAll_ = false;
  bool replaceNone_ = false;
  int worst_ = kUnzipOk;
  bool stopped_ = false;
  unsigned long done_ = 0;          // entries extracted or tested without fault
  unsigned long tested_ = 0;
  unsigned long badPassword_ = 0;
  unsigned long unsupported_ = 0;
};

int Run::Execute() {
  zipName_ = options_.ZipFileName;
  std::wstring zipPath = FromAnsi(zipName_);
  ProbeResult probe = ProbeArchive(zipPath);
  if (probe.kind == ArchiveProbe::kCannotOpen && !zipName_.empty()) {
    // Like `unzip`, a name without the extension also finds NAME.zip.
    ProbeResult withZip = ProbeArchive(zipPath + L".zip");
    if (withZip.kind != ArchiveProbe::kCannotOpen) {
      probe = withZip;
      zipPath += L".zip";
      zipName_ += ".zip";
    }
  }
  if (probe.kind == ArchiveProbe::kCannotOpen) {
    printer_.At(kSilent, Format("unzip:  cannot find or open %s, %s.zip or %s.ZIP.\n",
                                zipName_.c_str(), zipName_.c_str(), zipName_.c_str()));
    return kUnzipNotFound;
  }
  // At the quieter levels the archive's name heads its error texts.
  const std::string banner = printer_.Level() == kAll ? Format("Archive:  %s\n", zipName_.c_str())
                                                      : Format("[%s]\n", zipName_.c_str());
  if (probe.kind == ArchiveProbe::kNoEndRecord) {
    std::string text = banner +
        "  End-of-central-directory signature not found.  Either this file is not\n"
        "  a zipfile, or it constitutes one disk of a multi-part archive.  In the\n"
        "  latter case the central directory and zipfile comment will be found on\n"
        "  the last disk(s) of this archive.\n";
    if (probe.beginsWithMZ) {
      text += Format("note:  %s may be a plain executable, not an archive\n", zipName_.c_str());
    }
    text += Format("unzip:  cannot find zipfile directory in one of %s or\n"
                   "        %s.zip, and cannot find %s.ZIP, period.\n",
                   zipName_.c_str(), zipName_.c_str(), zipName_.c_str());
    printer_.At(kSilent, text);
    return kUnzipNotFound;
  }
  ZipReader reader(zipPath);
  if (!reader.Ok()) {
    printer_.At(kAll, banner);
    printer_.At(kSilent,
                Format("error [%s]:  start of central directory not found;\n"
                       "  zipfile corrupt.\n"
                       "  (please check that you have transferred or created the zipfile in the\n"
                       "  appropriate BINARY mode and that you have compiled UnZip properly)\n",
                       zipName_.c_str()));
    return kUnzipBadZip;
  }
  FillTotals(reader);

  targetDir_ = options_.ExtractDir != nullptr ? FromAnsi(options_.ExtractDir) : L"";
  while (!targetDir_.empty() && (targetDir_.back() == L'\\' || targetDir_.back() == L'/')) {
    targetDir_.pop_back();
  }
  if (targetDir_.empty()) targetDir_ = L".";
  const bool writes = !options_.TestZip && !options_.ExtractList && !options_.WriteToStdOut;
  if (writes && GetFileAttributesW(targetDir_.c_str()) == INVALID_FILE_ATTRIBUTES &&
      !CreateDirectoryW(targetDir_.c_str(), nullptr)) {
    // SHCreateDirectory would pull in the shell; make the missing levels one by one.
    std::wstring partial;
    for (std::size_t i = 0; i <= targetDir_.size(); ++i) {
      if (i == targetDir_.size() || targetDir_[i] == L'\\' || targetDir_[i] == L'/') {
        partial = targetDir_.substr(0, i);
        if (!partial.empty() && partial.back() != L':') CreateDirectoryW(partial.c_str(), nullptr);
      }
    }
    if (GetFileAttributesW(targetDir_.c_str()) == INVALID_FILE_ATTRIBUTES) {
      printer_.At(kSilent, Format("checkdir:  cannot create extraction directory: %s\n",
                                  ToAnsi(targetDir_).c_str()));
      return kUnzipBadOptions;
    }
  }

  if (writes && !FitsOnDisk(reader)) return kUnzipDiskFull;

  if (!options_.ExtractList) printer_.At(kAll, banner);
  if (options_.DisplayComment) {
    std::string comment = reader.Comment();
    if (!comment.empty()) printer_.At(kQuiet, comment + "\n");
  }
  for (bool more = reader.First(); more && !stopped_; more = reader.Next()) {
    EntryInfo info;
    if (!reader.ReadInfo(info)) {
      printer_.At(kSilent, Format("file #%lu:  bad zipfile offset (central directory)\n",
                                  reader.Index()));
      NoteResult(kUnzipBadZip);
      break;
    }
    if (!ProcessEntry(reader, info)) break;
  }
  if (reader.DirectoryBroken() && !stopped_) {
    printer_.At(kSilent, Format("error:  zipfile probably corrupt (%s)\n", zipName_.c_str()));
    NoteResult(kUnzipBadZip);
  }
  return Finish();
}

int Run::Finish() {
  if (stopped_) return worst_;
  if (options_.TestZip && !options_.ExtractList) {
    std::string summary;
    if (worst_ >= kUnzipError) {
      summary = Format("At least one error was detected in %s.\n", zipName_.c_str());
    } else if (tested_ == 0 && (badPassword_ > 0 || unsupported_ > 0)) {
      summary = Format("Caution:  zero files tested in %s.\n", zipName_.c_str());
    } else if (badPassword_ > 0 || unsupported_ > 0) {
      summary = Format("No errors detected in %s for the %lu file%s tested.\n", zipName_.c_str(),
                       tested_, Plural(tested_).c_str());
    } else {
      summary = Format("No errors detected in compressed data of %s.\n", zipName_.c_str());
    }
    if (unsupported_ > 0) {
      summary += Format("%lu file%s skipped because of unsupported compression or encoding.\n",
                        unsupported_, Plural(unsupported_).c_str());
    }
    if (badPassword_ > 0) {
      summary += Format("%lu file%s skipped because of incorrect password.\n", badPassword_,
                        Plural(badPassword_).c_str());
    }
    printer_.At(kQuiet, summary);
  }
  if (callbacks_ != nullptr && callbacks_->Sound != nullptr) callbacks_->Sound();
  if (worst_ >= kUnzipError) return worst_;
  if (unsupported_ > 0) return kUnzipUnsupported;
  if (badPassword_ > 0) return done_ == 0 ? kUnzipBadPassword : kUnzipWarning;
  return worst_;
}

void Run::FillTotals(ZipReader& reader) {
  if (callbacks_ == nullptr) return;
  uint64_t compressed = 0;
  uint64_t uncompressed = 0;
  unsigned long count = 0;
  for (bool more = reader.First(); more; more = reader.Next()) {
    EntryInfo info;
    if (!reader.ReadInfo(info)) break;
    compressed += info.compressedSize;
    uncompressed += info.uncompressedSize;
    ++count;
  }
  callbacks_->TotalSizeComp = static_cast<uint32_t>(std::min<uint64_t>(compressed, 0xFFFFFFFFu));
  callbacks_->TotalSize = static_cast<uint32_t>(std::min<uint64_t>(uncompressed, 0xFFFFFFFFu));
  callbacks_->CompFactor =
      uncompressed == 0 || compressed >= uncompressed
          ? 0
          : static_cast<uint32_t>((uncompressed - compressed) * 100 / uncompressed);
  callbacks_->NumMembers = static_cast<uint32_t>(count);
  callbacks_->HasComment = reader.Comment().empty() ? 0 : 1;
}

uint64_t Run::SpaceNeeded(ZipReader& reader) const {
  uint64_t needed = 0;
  for (bool more = reader.First(); more; more = reader.Next()) {
    EntryInfo info;
    if (!reader.ReadInfo(info)) break;
    if (Wanted(DecodeEntryName(info))) {
      needed = SaturatingAdd(needed, SpaceOfFile(info.uncompressedSize));
    }
  }
  return needed;
}

bool Run::FitsOnDisk(ZipReader& reader) {
  ULARGE_INTEGER available{};
  // Where the free space cannot be read, a write that fails still stops the run.
  if (!GetDiskFreeSpaceExW(targetDir_.c_str(), &available, nullptr, nullptr)) return true;
  const uint64_t needed = SpaceNeeded(reader);
  if (SaturatingAdd(needed, kKeptFree) <= available.QuadPart) return true;
  printer_.At(kSilent, "error:  not enough disk space for " + zipName_ + " in " +
                           ToAnsi(targetDir_) + ": its files need " + std::to_string(needed) +
                           " bytes and " + std::to_string(kKeptFree) +
                           " more are kept free, but " + std::to_string(available.QuadPart) +
                           " bytes are free\n");
  return false;
}

bool Run::Wanted(const std::wstring& name) const {
  const bool caseSensitive = options_.CaseSensitive != 0;
  if (!includes_.empty() && !MatchesAny(includes_, name, caseSensitive)) return false;
  return !MatchesAny(excludes_, name, caseSensitive);
}

std::wstring Run::FolderPath(const std::vector<std::wstring>& folders) const {
  std::wstring path = targetDir_;
  for (const auto& folder : folders) path += L"\\" + folder;
  return path;
}

bool Run::MakeFolders(const std::vector<std::wstring>& folders, bool announce) {
  std::wstring path = targetDir_;
  std::wstring shown;
  // A folder longer than a Windows path allows is refused before any of it is made.
  const std::wstring whole = FolderPath(folders);
  if (whole.size() > kMaxFolderPath) {
    printer_.At(kSilent, Format("checkdir error:  cannot create %s\n", ToAnsi(whole).c_str()));
    return false;
  }
  for (const auto& folder : folders) {
    path += L"\\" + folder;
    shown += folder + L"/";
    if (CreateDirectoryW(path.c_str(), nullptr)) {
      if (announce) printer_.At(kAll, Format("   creating: %s\n", ToAnsi(shown).c_str()));
      continue;
    }
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      printer_.At(kSilent, Format("checkdir error:  cannot create %s\n", ToAnsi(path).c_str()));
      return false;
    }
  }
  return true;
}

Run::Existing Run::DecideExisting(const std::wstring& target,
                                  const std::optional<FILETIME>& entryTime, bool exists,
                                  const FILETIME& existingTime) {
  const bool freshen = options_.ExtractNewer != 0;
  const bool update = options_.ExtractOnlyNewer != 0;
  if (!exists) return freshen ? Existing::kKeep : Existing::kWrite;
  if ((freshen || update) && !EntryIsNewer(entryTime, existingTime)) return Existing::kKeep;
  if (replaceAll_) return Existing::kWrite;
  if (replaceNone_) return Existing::kKeep;
  if (options_.PromptOverwrite) {
    if (callbacks_ == nullptr || callbacks_->Replace == nullptr) return Existing::kKeep;
    std::string name = ToAnsi(target);
    std::vector<char> buffer(std::max<std::size_t>(name.size() + 1, MAX_PATH * 2), '\0');
    std::copy(name.begin(), name.end(), buffer.begin());
    switch (callbacks_->Replace(buffer.data())) {
      case kReplaceYes:
        return Existing::kWrite;
      case kReplaceAll:
        replaceAll_ = true;
        return Existing::kWrite;
      case kReplaceNone:
        replaceNone_ = true;
        return Existing::kKeep;
      default:
        return Existing::kKeep;
    }
  }
  return options_.OverWriteFiles ? Existing::kWrite : Existing::kKeep;
}

std::optional<ZipCrypto> Run::Unlock(ZipReader& reader, const EntryInfo& info,
                                     const std::string& shownName) {
  unsigned char header[ZipCrypto::kHeaderSize];
  if (reader.ReadStored(header, sizeof header) != static_cast<long>(sizeof header)) {
    return std::nullopt;
  }
  const unsigned char check = info.SizesFollowData()
                                  ? static_cast<unsigned char>((info.dosDateTime >> 8) & 0xFF)
                                  : static_cast<unsigned char>(info.crc >> 24);
  if (!goodPassword_.empty()) {
    ZipCrypto crypto(goodPassword_);
    if (crypto.AcceptsHeader(header, check)) return crypto;
  }
  if (callbacks_ == nullptr || callbacks_->Password == nullptr) return std::nullopt;
  for (int attempt = 0; attempt < kPasswordTries; ++attempt) {
    std::string prompt = attempt == 0
                             ? Format("[%s] %s password: ", zipName_.c_str(), shownName.c_str())
                             : std::string("password incorrect--reenter: ");
    char answer[256] = {};
    std::string entryName = shownName;
    if (callbacks_->Password(answer, static_cast<int>(sizeof answer), prompt.c_str(),
                             entryName.c_str()) != 0) {
      return std::nullopt;
    }
    answer[sizeof answer - 1] = '\0';
    std::string password(answer);
    SecureZeroMemory(answer, sizeof answer);
    ZipCrypto crypto(password);
    if (crypto.AcceptsHeader(header, check)) {
      goodPassword_ = password;
      return crypto;
    }
  }
  return std::nullopt;
}

void Run::ListEntry(const EntryInfo& info, const std::string& shownName) {
  if (callbacks_ == nullptr || callbacks_->Message == nullptr) return;
  const unsigned factor =
      info.uncompressedSize == 0 || info.compressedSize >= info.uncompressedSize
          ? 0
          : static_cast<unsigned>((info.uncompressedSize - info.compressedSize) * 100 /
                                  info.uncompressedSize);
  std::string name = shownName;
  std::string method = info.method == 0 ? "Stored" : info.method == Z_DEFLATED
                                                         ? "Defl:N"
                                                         : Format("Unk:%03u", info.method);
  const uint32_t dt = info.dosDateTime;
  callbacks_->Message(static_cast<unsigned long>(info.uncompressedSize),
                      static_cast<unsigned long>(info.compressedSize), factor,
                      (dt >> 21) & 0x0F, (dt >> 16) & 0x1F, 1980 + ((dt >> 25) & 0x7F),
                      (dt >> 11) & 0x1F, (dt >> 5) & 0x3F, ' ', name.data(), method.data(),
                      info.crc, info.Encrypted() ? 'E' : ' ');
}

bool Run::ReportDataFault(const DataResult& data, const EntryInfo& info, const std::string& shown,
                          const std::wstring& target) {
  switch (data.outcome) {
    case DataOutcome::kOk:
      return true;
    case DataOutcome::kBadCrc: {
      std::string what = Format(" bad CRC %08lx  (should be %08lx)\n",
                                static_cast<unsigned long>(data.crc),
                                static_cast<unsigned long>(info.crc));
      if (printer_.Level() == kAll) {
        printer_.At(kAll, what);
      } else {
        printer_.At(kSilent, Padded(shown) + " " + what);
      }
      NoteResult(kUnzipError);
      return true;
    }
    case DataOutcome::kBadData:
      printer_.At(kAll, "\n  error:  invalid compressed data to inflate\n");
      if (printer_.Level() != kAll) {
        printer_.At(kSilent, "  error:  invalid compressed data to inflate " + shown + "\n");
      }
      NoteResult(kUnzipError);
      return true;
    case DataOutcome::kTooLong: {
      const std::string what = "  error:  " + shown + " holds more than the " +
                               std::to_string(info.uncompressedSize) +
                               " bytes its header declares\n";
      printer_.At(kSilent, printer_.Level() == kAll ? "\n" + what : what);
      NoteResult(kUnzipError);
      return true;
    }
    case DataOutcome::kNoMemory:
      printer_.At(kSilent, "\n  error:  not enough memory to inflate " + shown + "\n");
      NoteResult(kUnzipNoMemory);
      return true;
    case DataOutcome::kWriteFailed: {
      DWORD error = GetLastError();
      if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL) {
        printer_.At(kSilent, Format("\n%s:  write error (disk full?).\n", shown.c_str()));
        NoteResult(kUnzipDiskFull);
        stopped_ = true;
        return false;
      }
      printer_.At(kSilent, Format("\nerror:  cannot create %s\n", ToAnsi(target).c_str()));
      NoteResult(kUnzipError);
      return true;
    }
  }
  return true;
}

bool Run::ProcessEntry(ZipReader& reader, const EntryInfo& info) {
  const std::wstring storedName = DecodeEntryName(info);
  const std::string shownStored = ToAnsi(storedName);
  if (!Wanted(storedName)) return true;
  if (callbacks_ != nullptr && callbacks_->Service != nullptr &&
      callbacks_->Service(shownStored.c_str(),
                          static_cast<unsigned long>(info.uncompressedSize)) != 0) {
    NoteResult(kUnzipCancelled);
    stopped_ = true;
    return false;
  }
  if (options_.ExtractList) {
    ListEntry(info, shownStored);
    return true;
  }
  const bool test = options_.TestZip != 0;
  const bool toRoutine = !test && options_.WriteToStdOut != 0;
  const bool folderEntry = IsFolderEntry(storedName);

  // Testing shows the names as stored; extracting shows where each entry goes.
  EntryPath path = MakeEntryPath(storedName, {options_.HonorDirectories != 0,
                                              options_.SpaceToUnderScore != 0});
  std::string shown = test || toRoutine ? shownStored : ToAnsi(path.Display());
  if (!test && !toRoutine) {
    if (path.strippedAbsolute) {
      printer_.At(kSilent, Format("warning:  stripped absolute path spec from %s\n",
                                  shownStored.c_str()));
      NoteResult(kUnzipWarning);
    }
    if (path.skippedParent) {
      printer_.At(kAll, Format("warning:  skipped \"../\" path component(s) in %s\n",
                               shownStored.c_str()));
      NoteResult(kUnzipWarning);
    }
  }

  if (folderEntry) {
    if (test) {
      printer_.At(kAll, ActionHead("test", shown) + " OK\n");
      ++tested_;
      ++done_;
    } else if (!toRoutine && options_.HonorDirectories) {
      if (!MakeFolders(path.folders, true)) NoteResult(kUnzipError);
    }
    return true;
  }
  if (path.fileName.empty()) return true;  // nothing left of the name

  // Zip format 4.5 (zip64) is the newest this library reads; later versions announce
  // methods or encryption it does not know.
  const unsigned needed = info.versionNeeded & 0xFF;
  std::string unsupported;
  if (needed > kFormatVersion) {
    unsupported = Format("need PK compat. v%u.%u (can do v%u.%u)", needed / 10, needed % 10,
                         kFormatVersion / 10, kFormatVersion % 10);
  } else if (info.StrongEncryption()) {
    unsupported = "`strong encryption' method not supported";
  } else if (info.method != 0 && info.method != Z_DEFLATED) {
    unsupported = Format("unsupported compression method %u", info.method);
  }
  if (!unsupported.empty()) {
    printer_.At(kAll, "   skipping: " + Padded(shown) + "  " + unsupported + "\n");
    ++unsupported_;
    return true;
  }

  std::wstring folder = FolderPath(path.folders);
  std::wstring target = folder + L"\\" + path.fileName;
  const std::optional<FILETIME> entryTime = EntryTime(info.dosDateTime);
  if (!test && !toRoutine && target.size() > kMaxFilePath) {
    printer_.At(kSilent, Format("error:  cannot create %s\n", ToAnsi(target).c_str()));
    NoteResult(kUnzipError);
    return true;
  }
  if (!test && !toRoutine) {
    WIN32_FILE_ATTRIBUTE_DATA existing{};
    const bool exists = GetFileAttributesExW(target.c_str(), GetFileExInfoStandard, &existing) != 0;
    if (DecideExisting(target, entryTime, exists, existing.ftLastWriteTime) ==
        Existing::kKeep) {
      return true;
    }
  }

  if (!reader.OpenStored()) {
    printer_.At(kSilent, Format("file #%lu:  bad zipfile offset (local header sig):  %lu\n",
                                reader.Index(), reader.Index()));
    NoteResult(kUnzipBadZip);
    return true;
  }
  std::optional<ZipCrypto> crypto;
  if (info.Encrypted()) {
    crypto = Unlock(reader, info, shownStored);
    if (!crypto) {
      printer_.At(kAll, "   skipping: " + Padded(shown) + "  incorrect password\n");
      ++badPassword_;
      return true;
    }
  }

  FileOutput file;
  RoutineOutput routine(callbacks_ != nullptr ? callbacks_->Print : nullptr);
  EntryOutput* output = nullptr;
  if (toRoutine) {
    output = &routine;
  } else if (!test) {
    if (!options_.HonorDirectories || MakeFolders(path.folders, false)) {
      if (file.Create(folder)) output = &file;
    }
    if (output == nullptr) {
      printer_.At(kSilent, Format("error:  cannot create %s\n", ToAnsi(target).c_str()));
      NoteResult(kUnzipError);
      return true;
    }
  }
  std::optional<LineEndOutput> lineEnds;
  if (output != nullptr && options_.ConvertCRtoCRLF && info.IsText()) {
    lineEnds.emplace(*output);
    output = &*lineEnds;
  }

  const char* stem = test ? "test" : info.method == Z_DEFLATED ? "inflat" : "extract";
  const std::string head = ActionHead(stem, shown);
  if (!toRoutine) printer_.At(kAll, head);
  DataResult data = DecodeEntry(reader, info, crypto ? &*crypto : nullptr, output, buffers_);
  if (data.outcome != DataOutcome::kOk) return ReportDataFault(data, info, shown, target);
  if (!test && !toRoutine &&
      !file.Commit(target, entryTime ? &*entryTime : nullptr)) {
    printer_.At(kSilent, Format("\nerror:  cannot create %s\n", ToAnsi(target).c_str()));
    NoteResult(kUnzipError);
    return true;
  }
  if (!toRoutine) printer_.At(kAll, test ? " OK\n" : "\n");
  if (test) ++tested_;
  ++done_;
  return true;
}

}  // namespace
}  // namespace unzip32

extern "C" int WINAPI Wiz_SingleEntryUnzip(int includeCount, char** includeList,
                                           int excludeCount, char** excludeList,
                                           UnzipOptions* options, UnzipCallbacks* callbacks) {
  if (options == nullptr || options->ZipFileName == nullptr) return kUnzipBadOptions;
  try {
    unzip32::Run run(*options, callbacks, unzip32::Patterns(includeCount, includeList),
                     unzip32::Patterns(excludeCount, excludeList));
    return run.Execute();
  } catch (const std::bad_alloc&) {
    return kUnzipNoMemory;
  }
}
