// Test helper run as a child process. "osinfo" prints what the program's
// system services see, one "name=value" per line; "exit N" ends with code N;
// "click CAPTION BUTTON" clicks a button of a visible window, as a user would;
// "log PATH N" starts a fresh log at PATH as the program does at start-up,
// records N actions and ends as the program ends; "record FILE ARG..." writes
// how it was started (folder, show state, arguments) into FILE; "hold FILE
// SECONDS" keeps FILE open for reading only (no other program may write,
// replace or delete it) for that long, as a running program holds a control;
// "opened FILE DOCUMENT" appends DOCUMENT (everything after FILE on the command
// line, as it came) and a line break to FILE: the tests' shell associations open
// documents and links with it. Named Updater.exe it stands in for the update
// program (see RecordAsUpdater). Under any name but probe.exe or Updater.exe it is a
// program planted where an unquoted command line would start it (see RecordAsPlanted).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/TextConv.h"
#include "base/cSharedOSInfo.h"
#include "diag/cSharedLogging.h"
#include "sys/SystemFolders.h"

namespace {

struct ButtonSearch {
  std::wstring text;
  HWND found = nullptr;
};

BOOL CALLBACK FindButton(HWND hwnd, LPARAM data) {
  auto* search = reinterpret_cast<ButtonSearch*>(data);
  wchar_t cls[32] = {}, text[256] = {};
  GetClassNameW(hwnd, cls, 32);
  GetWindowTextW(hwnd, text, 256);
  if (lstrcmpiW(cls, L"Button") == 0 && search->text == text) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

int Click(const char* caption, const char* button) {
  HWND window = FindWindowW(nullptr, twi::ToWide(caption).c_str());
  if (!window) return 3;
  ButtonSearch search{twi::ToWide(button)};
  EnumChildWindows(window, FindButton, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return 4;
  PostMessageW(search.found, BM_CLICK, 0, 0);
  return 0;
}

// The command line after the program name and the first `skip` arguments, as it came.
std::wstring CommandLineAfter(int skip) {
  const wchar_t* p = GetCommandLineW();
  for (int i = 0; i <= skip; ++i) {
    while (*p == L' ') ++p;
    bool quoted = false;
    for (; *p && (quoted || *p != L' '); ++p)
      if (*p == L'"') quoted = !quoted;
  }
  while (*p == L' ') ++p;
  return p;
}

int Opened(const char* file) {
  std::wstring document = CommandLineAfter(2);
  // Quotes the shell put around the document are not part of it.
  if (document.size() >= 2 && document.front() == L'"' && document.back() == L'"')
    document = document.substr(1, document.size() - 2);
  std::string line = twi::ToUtf8(document) + "\r\n";
  HANDLE out = CreateFileW(twi::ToWide(file).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return 5;
  DWORD written = 0;
  WriteFile(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(out);
  return 0;
}

int Log(const char* path, int actions) {
  twi::cSharedLogging& log = twi::TheLog();
  log.SetLogFilename(path);
  log.LogEvent("Program startup", true);
  for (int i = 1; i <= actions; ++i) log.AddAction("pending action " + std::to_string(i));
  return 0;  // the process ends with the actions still pending
}

int Record(const char* file, int argc, char** argv) {
  wchar_t folder[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, folder);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  GetStartupInfoW(&startup);
  std::string text = "folder=" + twi::ToUtf8(folder) + "\n";
  int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
  text += "show=" + std::to_string(show) + "\n";
  for (int i = 3; i < argc; ++i) text += std::string("arg=") + argv[i] + "\n";
  FILE* out = _wfopen(twi::ToWide(file).c_str(), L"wb");
  if (!out) return 5;
  std::fwrite(text.data(), 1, text.size(), out);
  std::fclose(out);
  return 0;
}

int Hold(const char* file, int seconds) {
  HANDLE handle = CreateFileW(twi::ToWide(file).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return 6;
  Sleep(static_cast<DWORD>(seconds) * 1000);
  CloseHandle(handle);
  return 0;
}

}  // namespace

// Started under the name Updater.exe, the probe stands in for the update
// program: it writes how it was started into updater-call.txt beside itself.
bool RecordAsUpdater() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring self = path;
  std::wstring folder = self.substr(0, self.find_last_of(L'\\'));
  if (lstrcmpiW(self.substr(folder.size() + 1).c_str(), L"Updater.exe") != 0) return false;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  GetStartupInfoW(&startup);
  int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
  std::string text = "line=" + twi::ToUtf8(GetCommandLineW()) + "\nshow=" + std::to_string(show) + "\n";
  FILE* out = _wfopen((folder + L"\\updater-call.txt").c_str(), L"wb");
  if (out) {
    std::fwrite(text.data(), 1, text.size(), out);
    std::fclose(out);
  }
  return true;
}

// Started under any other name than probe.exe or Updater.exe, the probe is a program
// planted where a command line with an unquoted path would start it ("C:\Tarn.exe" for
// "C:\Tarn wick\setup.exe"): it appends its command line to <its path>.starts and ends.
bool RecordAsPlanted() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring self = path;
  std::wstring name = self.substr(self.find_last_of(L'\\') + 1);
  if (lstrcmpiW(name.c_str(), L"probe.exe") == 0) return false;
  std::string line = twi::ToUtf8(GetCommandLineW()) + "\r\n";
  HANDLE out = CreateFileW((self + L".starts").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return true;
  DWORD written = 0;
  WriteFile(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(out);
  return true;
}

int main(int argc, char** argv) {
  if (RecordAsUpdater()) return 0;
  if (RecordAsPlanted()) return 0;
  if (argc >= 4 && std::strcmp(argv[1], "click") == 0) return Click(argv[2], argv[3]);
  if (argc >= 3 && std::strcmp(argv[1], "exit") == 0) return std::atoi(argv[2]);
  if (argc >= 4 && std::strcmp(argv[1], "log") == 0) return Log(argv[2], std::atoi(argv[3]));
  if (argc >= 4 && std::strcmp(argv[1], "hold") == 0) return Hold(argv[2], std::atoi(argv[3]));
  if (argc >= 3 && std::strcmp(argv[1], "record") == 0) return Record(argv[2], argc, argv);
  if (argc >= 3 && std::strcmp(argv[1], "opened") == 0) return Opened(argv[2]);
  if (argc >= 2 && std::strcmp(argv[1], "osinfo") == 0) {
    const twi::cSharedOSInfo& os = twi::TheOSInfo();
    std::printf("fOSName=%s\n", os.fOSName().c_str());
    std::printf("GetWinPlatform=%ld\n", os.GetWinPlatform());
    std::printf("IsWindows95=%d\n", os.IsWindows95() ? 1 : 0);
    std::printf("IsWindowsNT=%d\n", os.IsWindowsNT() ? 1 : 0);
    std::printf("IsXPorGreater=%d\n", os.IsXPorGreater() ? 1 : 0);
    std::printf("SystemFolder=%s\n", twi::GetSystemFolder().c_str());
    std::printf("WindowsFolder=%s\n", twi::GetWindowsFolder().c_str());
    return 0;
  }
  return 2;
}
