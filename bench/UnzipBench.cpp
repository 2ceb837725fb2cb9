// Zip extraction driver for the benchmark (bench/unzip.sh) and for comparing our texts
// with those of `unzip` by hand:
//   unzip_bench bench ARCHIVE TARGET
//     extracts with the install center's options (overwrite, folders, message level 2)
//     and prints one line: RESULT rc=... bytes=... seconds=... mbps=... peak_ws=...
//     peak_pagefile=...  (bytes: the uncompressed size the library reports)
//   unzip_bench run LEVEL ARCHIVE TARGET [t|f|u|j|s]...
//     prints what the library prints at that message level, then "rc=N"; t tests,
//     f freshens, u updates, j junks folders, s turns spaces into underscores.
#include <windows.h>
#include <psapi.h>

#include <fcntl.h>
#include <io.h>

#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/unzip32/Unzip32.h"

namespace {

int WINAPI PrintToStdout(LPSTR text, unsigned long size) {
  std::fwrite(text, 1, size, stdout);
  return 0;
}

int WINAPI NoPassword(LPSTR, int, LPCSTR, LPCSTR) { return 1; }

UnzipOptions InstallCenterOptions(char* archive, char* target) {
  UnzipOptions options{};
  options.MessageLevel = 2;
  options.HonorDirectories = 1;
  options.OverWriteFiles = 1;
  options.CaseSensitive = 1;
  options.ZipFileName = archive;
  options.ExtractDir = target;
  return options;
}

int Bench(char* archive, char* target) {
  UnzipOptions options = InstallCenterOptions(archive, target);
  UnzipCallbacks callbacks{};
  callbacks.Print = PrintToStdout;
  callbacks.Password = NoPassword;
  auto start = std::chrono::steady_clock::now();
  int rc = Wiz_SingleEntryUnzip(0, nullptr, 0, nullptr, &options, &callbacks);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  std::printf("RESULT rc=%d bytes=%lu seconds=%.3f mbps=%.1f peak_ws=%llu peak_pagefile=%llu\n",
              rc, static_cast<unsigned long>(callbacks.TotalSize), seconds,
              callbacks.TotalSize / 1048576.0 / seconds,
              static_cast<unsigned long long>(memory.PeakWorkingSetSize),
              static_cast<unsigned long long>(memory.PeakPagefileUsage));
  return rc == 0 ? 0 : 1;
}

int Texts(int argc, char** argv) {
  UnzipOptions options = InstallCenterOptions(argv[3], argv[4]);
  options.MessageLevel = std::atoi(argv[2]);
  for (int i = 5; i < argc; ++i) {
    if (std::strcmp(argv[i], "t") == 0) options.TestZip = 1;
    if (std::strcmp(argv[i], "f") == 0) options.ExtractNewer = 1;
    if (std::strcmp(argv[i], "u") == 0) options.ExtractOnlyNewer = 1;
    if (std::strcmp(argv[i], "j") == 0) options.HonorDirectories = 0;
    if (std::strcmp(argv[i], "s") == 0) options.SpaceToUnderScore = 1;
  }
  UnzipCallbacks callbacks{};
  callbacks.Print = PrintToStdout;
  callbacks.Password = NoPassword;
  int rc = Wiz_SingleEntryUnzip(0, nullptr, 0, nullptr, &options, &callbacks);
  std::printf("rc=%d\n", rc);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);  // the texts byte for byte
  if (argc == 4 && std::strcmp(argv[1], "bench") == 0) return Bench(argv[2], argv[3]);
  if (argc >= 5 && std::strcmp(argv[1], "run") == 0) return Texts(argc, argv);
  std::fprintf(stderr, "usage: unzip_bench bench ARCHIVE TARGET | run LEVEL ARCHIVE TARGET [t]\n");
  return 2;
}
