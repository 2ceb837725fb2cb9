// Download benchmark: fetches one large body from the fixture HTTP server (byte i is
// i % 251) in one of several ways and reports the throughput and the process's peak
// memory. One variant per process run, so that the peaks belong to that variant alone.
//
//   inet_bench.exe <variant> <url> <expected bytes>
//     bare-1k    bare WinInet loop, 1024 bytes per InternetReadFile
//     bare-64k   bare WinInet loop, 64 KB per InternetReadFile
//     control    InetControl: Execute, then GetChunk(1024) until empty
//     control-64k  the same with GetChunk(65536): how fast the control itself reads
//     getfile    the download client's GetFile into a file (see GetFileWithDownloadClient)
//
// Prints one line: RESULT variant=... bytes=... seconds=... mbps=... peak_ws=...
// peak_pagefile=... ok=1|0, or RESULT variant=... unavailable.
#include <windows.h>
#include <psapi.h>
#include <wininet.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/DoEvents.h"
#include "base/TextConv.h"
#include "net/cSHAREDInternet.h"
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

// (a), (b): the plainest synchronous WinInet download, `readSize` bytes per call.
bool BareWinInet(const std::string& url, DWORD readSize, PatternCheck& check) {
  Handle session{InternetOpenW(L"TWInstall bench", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0)};
  Handle request{InternetOpenUrlW(session.h, twi::ToWide(url).c_str(), nullptr, 0,
                                  INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0)};
  if (!request.h) return false;
  std::vector<std::uint8_t> buffer(readSize);
  for (;;) {
    DWORD got = 0;
    if (!InternetReadFile(request.h, buffer.data(), readSize, &got)) return false;
    if (got == 0) return true;
    check.Add(buffer.data(), got);
  }
}

// (c): the transfer control as the download engine drives it.
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
  for (;;) {
    std::vector<std::uint8_t> chunk = control.GetChunk(chunkSize);
    if (chunk.empty()) return true;
    check.Add(chunk.data(), chunk.size());
  }
}

// (d): the download client's GetFile, fetching `url` into `filePath` as the installers
// do (size asked for, every message raised, no progress window).
bool GetFileWithDownloadClient(const std::string& url, const std::string& filePath) {
  twi::cSHAREDInternet client;
  return client.GetFile(url, filePath, true, false, false, false);
}

bool CheckFile(const std::string& path, PatternCheck& check) {
  HANDLE file = CreateFileW(twi::ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::vector<std::uint8_t> buffer(64 * 1024);
  DWORD got = 0;
  while (ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) && got)
    check.Add(buffer.data(), got);
  CloseHandle(file);
  return true;
}

std::string TempFilePath() {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  return twi::ToUtf8(folder) + "inet_bench_" + std::to_string(GetCurrentProcessId()) + ".bin";
}

void PrintResult(const std::string& variant, const PatternCheck& check, double seconds,
                 std::uint64_t expected, bool finished) {
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof(memory);
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
  bool ok = finished && check.Ok() && check.Total() == expected;
  std::printf("RESULT variant=%s bytes=%llu seconds=%.3f mbps=%.1f peak_ws=%llu peak_pagefile=%llu ok=%d\n",
              variant.c_str(), static_cast<unsigned long long>(check.Total()), seconds,
              check.Total() / 1048576.0 / seconds,
              static_cast<unsigned long long>(memory.PeakWorkingSetSize),
              static_cast<unsigned long long>(memory.PeakPagefileUsage), ok ? 1 : 0);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: inet_bench <bare-1k|bare-64k|control|getfile> <url> <bytes>\n");
    return 2;
  }
  const std::string variant = twi::ToUtf8(argv[1]);
  const std::string url = twi::ToUtf8(argv[2]);
  const std::uint64_t expected = std::stoull(twi::ToUtf8(argv[3]));
  PatternCheck check;
  auto start = Clock::now();
  bool finished = false;
  if (variant == "bare-1k") {
    finished = BareWinInet(url, 1024, check);
  } else if (variant == "bare-64k") {
    finished = BareWinInet(url, 64 * 1024, check);
  } else if (variant == "control") {
    finished = ControlChunks(url, check, 1024);
  } else if (variant == "control-64k") {
    finished = ControlChunks(url, check, 64 * 1024);
  } else if (variant == "getfile") {
    std::string path = TempFilePath();
    if (!GetFileWithDownloadClient(url, path)) {
      std::printf("RESULT variant=getfile unavailable\n");
      return 0;
    }
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    finished = CheckFile(path, check);
    DeleteFileW(twi::ToWide(path).c_str());
    PrintResult(variant, check, seconds, expected, finished);
    return 0;
  } else {
    std::fprintf(stderr, "unknown variant %s\n", variant.c_str());
    return 2;
  }
  double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  PrintResult(variant, check, seconds, expected, finished);
  return 0;
}
