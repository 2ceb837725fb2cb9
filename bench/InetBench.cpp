// Download benchmark: fetches one large body from the fixture HTTP server (byte i is
// i % 251) in one of several ways and reports the throughput, the processor time and
// the process's peak memory. One variant per process run, so that the peaks and the
// processor time belong to that variant alone.
//
//   inet_bench.exe <variant> <url> <expected bytes>
//     bare-1k      bare synchronous WinInet loop, 1024 bytes per InternetReadFile,
//                  each piece written to a file as it comes
//     bare-64k     the same with 64 KB per InternetReadFile: the baseline, a download
//                  as plain as it gets
//     control      InetControl: Execute, then GetChunk(1024) until empty (no file)
//     control-64k  the same with GetChunk(65536): how fast the control itself reads
//     getfile      the download client's GetFile into a file, as the installers call it
//     sha256       no transfer: writes a file of <expected bytes> of the same pattern,
//                  then times Sha256OfFile over it (the check a package gets before it
//                  is unpacked or run); <url> is not used
//     idle         no transfer: starts as the others do (a download client, WinInet) and
//                  ends; what a process start costs, for bench/run.sh to subtract
//
// The file variants check the file after the clock stopped; the others check the bytes
// as they come; sha256 compares its digest with the pattern's, hashed in memory. Prints one line:
//   RESULT variant=... bytes=... seconds=... mbps=... cpu=... peak_ws=... peak_pagefile=...
//          end_wall=... ok=1|0
// cpu: processor seconds (user and kernel, every thread of the process) of the transfer;
// end_wall: the wall-clock time (Unix seconds) at which the transfer had ended, to be
// compared with the time the server sent its last byte.
#include <windows.h>
#include <psapi.h>
#include <wininet.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "base/DoEvents.h"
#include "base/TextConv.h"
#include "net/cSHAREDInternet.h"
#include "platform/crypto/Sha256.h"
#include "platform/inet/InetControl.h"

namespace {

using Clock = std::chrono::steady_clock;

// Checks bytes against the fixture's pattern as they come, in order.
class PatternCheck {
 public:
  PatternCheck() : pattern_(kMaxPiece + 251) {
    for (std::size_t i = 0; i < pattern_.size(); ++i) pattern_[i] = static_cast<std::uint8_t>(i % 251);
  }
  void Add(const std::uint8_t* bytes, std::size_t count) {
    for (std::size_t done = 0; done < count;) {
      std::size_t piece = std::min(count - done, kMaxPiece);
      if (std::memcmp(bytes + done, pattern_.data() + (total_ + done) % 251, piece) != 0) ok_ = false;
      done += piece;
    }
    total_ += count;
  }
  std::uint64_t Total() const { return total_; }
  bool Ok() const { return ok_; }

 private:
  static constexpr std::size_t kMaxPiece = 64 * 1024;
  std::vector<std::uint8_t> pattern_;
  std::uint64_t total_ = 0;
  bool ok_ = true;
};

struct Handle {
  HINTERNET h;
  ~Handle() {
    if (h) InternetCloseHandle(h);
  }
};

struct File {
  HANDLE h;
  ~File() {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};

// bare-1k, bare-64k: the plainest synchronous WinInet download into a file, `readSize`
// bytes per call, each piece written as it comes.
bool BareWinInet(const std::string& url, DWORD readSize, const std::string& filePath) {
  File out{CreateFileW(twi::ToWide(filePath).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr)};
  if (out.h == INVALID_HANDLE_VALUE) return false;
  Handle session{InternetOpenW(L"TWInstall bench", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0)};
  Handle request{InternetOpenUrlW(session.h, twi::ToWide(url).c_str(), nullptr, 0,
                                  INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0)};
  if (!request.h) return false;
  std::vector<std::uint8_t> buffer(readSize);
  for (;;) {
    DWORD got = 0;
    if (!InternetReadFile(request.h, buffer.data(), readSize, &got)) return false;
    if (got == 0) return true;
    DWORD written = 0;
    if (!WriteFile(out.h, buffer.data(), got, &written, nullptr) || written != got) return false;
  }
}

// control, control-64k: the transfer control as the download engine drives it.
bool ControlChunks(const std::string& url, PatternCheck& check, std::size_t chunkSize) {
  twi::inet::InetControl control;
  int last = 0;
  control.StateChanged = [&](int state) { last = state; };
  control.Execute(url, "GET");
  while (last != 12 && last != 11) {
    twi::DoEvents();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
  }
  if (last == 11) return false;
  std::vector<std::uint8_t> chunk;  // one vector for the whole body, as the engine reads
  for (;;) {
    control.GetChunk(chunkSize, chunk);
    if (chunk.empty()) return true;
    check.Add(chunk.data(), chunk.size());
  }
}

// getfile: the download client's GetFile, fetching `url` into `filePath` as the
// installers do (size asked for, every message raised, no progress window).
bool GetFileWithDownloadClient(const std::string& url, const std::string& filePath) {
  twi::cSHAREDInternet client;
  return client.GetFile(url, filePath);
}

bool CheckFile(const std::string& path, PatternCheck& check) {
  File file{CreateFileW(twi::ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                        OPEN_EXISTING, 0, nullptr)};
  if (file.h == INVALID_HANDLE_VALUE) return false;
  std::vector<std::uint8_t> buffer(1024 * 1024);
  DWORD got = 0;
  while (ReadFile(file.h, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) && got)
    check.Add(buffer.data(), got);
  return true;
}

std::string TempFilePath() {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  return twi::ToUtf8(folder) + "inet_bench_" + std::to_string(GetCurrentProcessId()) + ".bin";
}

double ProcessCpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto seconds = [](FILETIME t) {
    return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 1e7;
  };
  return seconds(kernel) + seconds(user);
}

// Unix seconds, as the fixture server's clock gives them.
double WallSeconds() {
  FILETIME now;
  GetSystemTimePreciseAsFileTime(&now);
  double since1601 = (static_cast<double>(now.dwHighDateTime) * 4294967296.0 + now.dwLowDateTime) / 1e7;
  return since1601 - 11644473600.0;
}

struct Measure {
  Clock::time_point start = Clock::now();
  double cpuStart = ProcessCpuSeconds();
  double seconds = 0, cpu = 0, endWall = 0;
  void Stop() {
    seconds = std::chrono::duration<double>(Clock::now() - start).count();
    endWall = WallSeconds();
    cpu = ProcessCpuSeconds() - cpuStart;
  }
};

void PrintResult(const std::string& variant, std::uint64_t bytes, const Measure& m, bool ok) {
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof(memory);
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
  std::printf(
      "RESULT variant=%s bytes=%llu seconds=%.3f mbps=%.1f cpu=%.3f peak_ws=%llu "
      "peak_pagefile=%llu end_wall=%.6f ok=%d\n",
      variant.c_str(), static_cast<unsigned long long>(bytes), m.seconds,
      bytes / 1048576.0 / m.seconds, m.cpu,
      static_cast<unsigned long long>(memory.PeakWorkingSetSize),
      static_cast<unsigned long long>(memory.PeakPagefileUsage), m.endWall, ok ? 1 : 0);
}

void PrintResult(const std::string& variant, const PatternCheck& check, const Measure& m,
                 std::uint64_t expected, bool finished) {
  PrintResult(variant, check.Total(), m, finished && check.Ok() && check.Total() == expected);
}

// The pattern in pieces of 251 * 4096 bytes, each of which starts the pattern afresh.
std::vector<std::uint8_t> PatternPiece() {
  std::vector<std::uint8_t> piece(251 * 4096);
  for (std::size_t i = 0; i < piece.size(); ++i) piece[i] = static_cast<std::uint8_t>(i % 251);
  return piece;
}

// Writes `bytes` of the pattern to `path` and hashes them in memory as it goes.
std::optional<twi::crypto::Sha256Digest> WritePatternFile(const std::string& path,
                                                          std::uint64_t bytes) {
  File file{CreateFileW(twi::ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr)};
  if (file.h == INVALID_HANDLE_VALUE) return std::nullopt;
  const std::vector<std::uint8_t> piece = PatternPiece();
  twi::crypto::Sha256 hash;
  for (std::uint64_t done = 0; done < bytes;) {
    DWORD size = static_cast<DWORD>(std::min<std::uint64_t>(piece.size(), bytes - done));
    DWORD written = 0;
    if (!WriteFile(file.h, piece.data(), size, &written, nullptr) || written != size)
      return std::nullopt;
    hash.Add(piece.data(), size);
    done += size;
  }
  return hash.Finish();
}

bool HashFile(const std::string& variant, std::uint64_t bytes) {
  const std::string path = TempFilePath();
  std::optional<twi::crypto::Sha256Digest> expected = WritePatternFile(path, bytes);
  Measure m;
  std::optional<twi::crypto::Sha256Digest> digest = twi::crypto::Sha256OfFile(path);
  m.Stop();
  DeleteFileW(twi::ToWide(path).c_str());
  PrintResult(variant, bytes, m, expected && digest == expected);
  return expected.has_value();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fprintf(stderr,
                 "usage: inet_bench <bare-1k|bare-64k|control|control-64k|getfile|sha256> <url> <bytes>\n");
    return 2;
  }
  const std::string variant = twi::ToUtf8(argv[1]);
  const std::string url = twi::ToUtf8(argv[2]);
  const std::uint64_t expected = std::stoull(twi::ToUtf8(argv[3]));
  PatternCheck check;
  bool finished = false;
  if (variant == "bare-1k" || variant == "bare-64k" || variant == "getfile") {
    const std::string path = TempFilePath();
    Measure m;
    if (variant == "getfile")
      finished = GetFileWithDownloadClient(url, path);
    else
      finished = BareWinInet(url, variant == "bare-1k" ? 1024 : 64 * 1024, path);
    m.Stop();
    finished = finished && CheckFile(path, check);
    DeleteFileW(twi::ToWide(path).c_str());
    PrintResult(variant, check, m, expected, finished);
    return 0;
  }
  if (variant == "sha256") return HashFile(variant, expected) ? 0 : 1;
  if (variant == "idle") {
    twi::cSHAREDInternet client;
    Handle session{InternetOpenW(L"TWInstall bench", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0)};
    return 0;
  }
  if (variant != "control" && variant != "control-64k") {
    std::fprintf(stderr, "unknown variant %s\n", variant.c_str());
    return 2;
  }
  Measure m;
  finished = ControlChunks(url, check, variant == "control" ? 1024 : 64 * 1024);
  m.Stop();
  PrintResult(variant, check, m, expected, finished);
  return 0;
}
