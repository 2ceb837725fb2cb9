#include "support/OtherPrograms.h"

#include "base/TextConv.h"
#include "base/UniqueHandle.h"

namespace twitest {
namespace {

std::string ProgramOf(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  twi::UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  if (!process) return "";
  wchar_t path[MAX_PATH] = {};
  DWORD size = MAX_PATH;
  if (!QueryFullProcessImageNameW(process.Get(), 0, path, &size)) return "";
  return twi::ToUtf8(std::wstring_view(path, size));
}

std::string Normalised(const std::string& path) {
  wchar_t full[MAX_PATH] = {};
  GetFullPathNameW(twi::ToWide(path).c_str(), MAX_PATH, full, nullptr);
  return twi::UpperAscii(twi::ToUtf8(full));
}

struct Search {
  std::string program;
  std::string caption;
  HWND found = nullptr;
};

BOOL CALLBACK Visit(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  if (!IsWindowVisible(window)) return TRUE;
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  if (!search->caption.empty() && twi::ToUtf8(text) != search->caption) return TRUE;
  if (Normalised(ProgramOf(window)) != search->program) return TRUE;
  search->found = window;
  return FALSE;
}

BOOL CALLBACK CollectText(HWND child, LPARAM data) {
  wchar_t text[512] = {};
  GetWindowTextW(child, text, 512);
  reinterpret_cast<std::vector<std::string>*>(data)->push_back(twi::ToUtf8(text));
  return TRUE;
}

}  // namespace

HWND WaitForWindowOf(const std::string& exePath, const std::string& caption,
                     std::chrono::milliseconds timeout) {
  Search search{Normalised(exePath), caption};
  auto end = std::chrono::steady_clock::now() + timeout;
  do {
    search.found = nullptr;
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    Sleep(50);
  } while (std::chrono::steady_clock::now() < end);
  return nullptr;
}

std::vector<std::string> ChildTexts(HWND window) {
  std::vector<std::string> texts;
  EnumChildWindows(window, CollectText, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

bool CloseAndWaitForExit(HWND window, std::chrono::milliseconds timeout) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  twi::UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, pid));
  PostMessageW(window, WM_CLOSE, 0, 0);
  return process && WaitForSingleObject(process.Get(), static_cast<DWORD>(timeout.count())) ==
                        WAIT_OBJECT_0;
}

}  // namespace twitest
