#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "sys/TextConv.h"
#include "ui/DoEvents.h"

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

void RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring full = path + L"\\" + name;
      SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(full);
      else
        DeleteFileW(full.c_str());
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW(path.c_str());
}

}  // namespace

ScratchFolder::ScratchFolder() {
  wchar_t temp[MAX_PATH];
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

ScratchFolder::~ScratchFolder() { RemoveTree(twi::ToWide(path_)); }

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

MsgBoxRecorder::~MsgBoxRecorder() {
  ui::SetMsgBoxAnswerer([](const ui::MsgBoxCall& call) {
    ADD_FAILURE() << "Unexpected message box: " << call.prompt;
    return DefaultAnswer(call.style);
  });
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  auto end = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    ui::DoEvents();
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

std::string EnvVar(const char* name) {
  wchar_t buffer[1024];
  DWORD n = GetEnvironmentVariableW(twi::ToWide(name).c_str(), buffer, 1024);
  return n && n < 1024 ? twi::ToUtf8(std::wstring(buffer, n)) : std::string();
}

int ServerPort(const char* name) {
  std::string value = EnvVar((std::string("TWI_") + name + "_PORT").c_str());
  return value.empty() ? 0 : std::stoi(value);
}

}  // namespace twitest
