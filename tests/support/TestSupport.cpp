#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <psapi.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include "base/DoEvents.h"
#include "base/FileSystem.h"
#include "base/TextConv.h"
#include "diag/cSharedLogging.h"

namespace twitest {
namespace {

int DefaultAnswer(int style) {
  switch (style & 0x0F) {
    case ui::vbYesNo:
    case ui::vbYesNoCancel: return ui::vbYes;
    case ui::vbRetryCancel: return ui::vbRetry;
    default: return ui::vbOK;
  }
}

}  // namespace

ScratchFolder::ScratchFolder(Place place) {
  wchar_t temp[MAX_PATH];
  if (place == OnUnixTmp)
    lstrcpyW(temp, L"Z:\\tmp\\");
  else
    GetTempPathW(MAX_PATH, temp);
  static int counter = 0;
  for (;;) {
    std::wstring candidate = std::wstring(temp) + L"twitest_" +
                             std::to_wstring(GetCurrentProcessId()) + L"_" +
                             std::to_wstring(++counter);
    if (CreateDirectoryW(candidate.c_str(), nullptr)) {
      path_ = twi::ToUtf8(candidate);
      return;
    }
  }
}

ScratchFolder::~ScratchFolder() { twi::RemoveTree(path_); }

MsgBoxRecorder::MsgBoxRecorder() {
  ui::SetMsgBoxAnswerer([this](const ui::MsgBoxCall& call) {
    calls_.push_back(call);
    if (OnShow) OnShow(call);
    if (answers_.empty()) return DefaultAnswer(call.style);
    int answer = answers_.front();
    answers_.erase(answers_.begin());
    return answer;
  });
}

MsgBoxRecorder::~MsgBoxRecorder() { FailOnUnexpectedMsgBox(); }

void FailOnUnexpectedMsgBox() {
  ui::SetMsgBoxAnswerer([](const ui::MsgBoxCall& call) {
    ADD_FAILURE() << "Unexpected message box: " << call.prompt;
    return DefaultAnswer(call.style);
  });
}

std::vector<std::string> SplitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(bytes.substr(start, end - start));
  if (start < bytes.size()) lines.push_back(bytes.substr(start));
  return lines;
}

std::string LogTextOf(const std::string& line) {
  size_t comma = line.find(", ");
  return comma == std::string::npos ? line : line.substr(comma + 2);
}

std::string FlushedLog() {
  twi::TheLog().WriteActionsToLog();
  return ReadFileBytes(twi::TheLog().CurrentLogFilename());
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  auto end = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    twi::DoEvents();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

void PumpFor(std::chrono::milliseconds duration) {
  PumpUntil([] { return false; }, duration);
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(std::filesystem::path(twi::ToWide(path)), std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(std::filesystem::path(twi::ToWide(path)), std::ios::binary | std::ios::trunc);
  out << bytes;
}

bool PathExists(const std::string& path) {
  return GetFileAttributesW(twi::ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool SetImmutable(const std::string& path, bool immutable) {
  std::string unixPath = path.substr(2);  // a Z: path names the Unix file directly
  for (char& c : unixPath)
    if (c == '\\') c = '/';
  std::string output;
  long code = RunAndCapture(std::string("start.exe /wait /unix /usr/bin/chattr ") +
                                (immutable ? "+i" : "-i") + " \"" + unixPath + "\"",
                            output);
  if (code != 0) return false;
  // chattr's own result does not come back through start.exe: an immutable file
  // cannot even be renamed, a changeable one can (and is renamed back).
  std::wstring wide = twi::ToWide(path), moved = wide + L".moved";
  bool renamed = MoveFileW(wide.c_str(), moved.c_str()) != FALSE;
  if (renamed) MoveFileW(moved.c_str(), wide.c_str());
  return immutable ? !renamed : renamed;
}

std::string WindowsPathOf(const std::string& unixPath) {
  std::string path = "Z:" + unixPath;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

std::string BinDir() { return WindowsPathOf(TWI_BIN_DIR); }
std::string SourceDir() { return WindowsPathOf(TWI_SOURCE_DIR); }
std::string ProbeExe() { return BinDir() + "\\..\\tests\\probe\\probe.exe"; }

bool StartProcess(std::wstring& commandLine, DWORD flags, const wchar_t* folder,
                  STARTUPINFOW& startup, PROCESS_INFORMATION& process, BOOL inheritHandles) {
  for (int attempt = 1;; ++attempt) {
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, inheritHandles, flags,
                       nullptr, folder, &startup, &process))
      return true;
    DWORD error = GetLastError();
    if (attempt == 3 || error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
      SetLastError(error);
      return false;
    }
    Sleep(200);
  }
}

FileHeldOpen::FileHeldOpen(const std::string& path, DWORD share)
    : handle_(CreateFileW(twi::ToWide(path).c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}

std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(twi::ToWide(folder + "\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  std::unique_ptr<void, decltype(&FindClose)> closer(find, &FindClose);
  do {
    std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(twi::ToUtf8(name));
  } while (FindNextFileW(find, &found));
  std::sort(names.begin(), names.end());
  return names;
}

bool FillDisk(const std::string& filler) {
  HANDLE out = CreateFileW(twi::ToWide(filler).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return false;
  std::string block(4096, 'f');
  DWORD written = 0;
  bool full = false;
  for (int i = 0; i < 100000 && !full; ++i) {
    if (!WriteFile(out, block.data(), static_cast<DWORD>(block.size()), &written, nullptr))
      full = GetLastError() == ERROR_DISK_FULL || GetLastError() == ERROR_HANDLE_DISK_FULL;
    else if (written < block.size())
      full = true;
  }
  // Single bytes fill what the blocks left.
  for (int i = 0; i < 4096 && full; ++i)
    if (!WriteFile(out, "f", 1, &written, nullptr) || written == 0) break;
  CloseHandle(out);
  return full;
}

long RunAndCapture(const std::string& commandLine, std::string& output) {
  output.clear();
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return -1;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process{};
  std::wstring line = twi::ToWide(commandLine);
  bool started = StartProcess(line, CREATE_NO_WINDOW, nullptr, startup, process, TRUE);
  CloseHandle(writeEnd);
  if (!started) {
    CloseHandle(readEnd);
    return -1;
  }
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got) output.append(buffer, got);
  CloseHandle(readEnd);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<long>(code);
}

void SetWineVersionFor(const std::string& exeName, const std::string& version) {
  std::wstring key = L"Software\\Wine\\AppDefaults\\" + twi::ToWide(exeName);
  HKEY opened = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                      &opened, nullptr) != ERROR_SUCCESS)
    return;
  if (version.empty()) {
    RegDeleteValueW(opened, L"Version");
  } else {
    std::wstring value = twi::ToWide(version);
    RegSetValueExW(opened, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  }
  RegCloseKey(opened);
}

std::string EnvVar(const char* name) {
  wchar_t buffer[1024];
  DWORD n = GetEnvironmentVariableW(twi::ToWide(name).c_str(), buffer, 1024);
  return n && n < 1024 ? twi::ToUtf8(std::wstring(buffer, n)) : std::string();
}

int ServerPort(const char* name) {
  std::string value = EnvVar((std::string("TWI_") + name + "_PORT").c_str());
  return value.empty() ? 0 : std::stoi(value);
}

SIZE_T PeakWorkingSet() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PeakWorkingSetSize;
}

}  // namespace twitest
