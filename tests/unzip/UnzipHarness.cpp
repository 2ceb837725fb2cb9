#include "unzip/UnzipHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "base/TextConv.h"
#include "support/TestSupport.h"

namespace unziptest {
namespace {

// The library's routines carry no context pointer: the run being recorded is reached
// through this pointer, set only while RunUnzip runs.
struct Recording {
  const Answers* answers;
  Outcome* outcome;
  std::size_t replaceNext = 0;
  std::size_t passwordNext = 0;
};
Recording* current = nullptr;

int WINAPI Print(LPSTR text, unsigned long size) {
  current->outcome->printed.append(text, size);
  return 0;
}

int WINAPI Replace(LPSTR fileName) {
  current->outcome->replaceAsked.push_back(fileName);
  const auto& list = current->answers->replace;
  if (current->replaceNext >= list.size()) {
    ADD_FAILURE() << "unexpected overwrite question for " << fileName;
    return kReplaceNo;
  }
  return list[current->replaceNext++];
}

int WINAPI Password(LPSTR password, int size, LPCSTR prompt, LPCSTR entryName) {
  current->outcome->passwordPrompts.push_back(prompt);
  current->outcome->passwordEntries.push_back(entryName);
  const auto& list = current->answers->passwords;
  if (current->passwordNext >= list.size()) {
    ADD_FAILURE() << "unexpected password question for " << entryName;
    return 1;
  }
  const auto& answer = list[current->passwordNext++];
  if (!answer) return 1;
  std::memset(password, 0, static_cast<std::size_t>(size));
  std::strncpy(password, answer->c_str(), static_cast<std::size_t>(size) - 1);
  return 0;
}

int WINAPI Service(LPCSTR entryName, unsigned long) {
  current->outcome->serviceEntries.push_back(entryName);
  return current->answers->service;
}

}  // namespace

UnzipOptions DefaultOptions() {
  UnzipOptions options{};
  options.MessageLevel = 2;
  options.HonorDirectories = 1;
  options.OverWriteFiles = 1;
  options.CaseSensitive = 1;
  return options;
}

Outcome RunUnzip(const std::string& archive, const std::string& target,
                 const std::function<void(UnzipOptions&)>& configure, const Answers& answers) {
  Outcome outcome;
  Recording recording{&answers, &outcome};
  current = &recording;
  std::string archivePath = archive;
  std::string targetPath = target;
  UnzipOptions options = DefaultOptions();
  options.ZipFileName = archivePath.data();
  options.ExtractDir = targetPath.data();
  if (configure) configure(options);
  UnzipCallbacks callbacks{};
  callbacks.Print = Print;
  callbacks.Replace = Replace;
  callbacks.Password = Password;
  callbacks.Service = Service;
  outcome.rc = Wiz_SingleEntryUnzip(0, nullptr, 0, nullptr, &options, &callbacks);
  outcome.totals = callbacks;
  current = nullptr;
  return outcome;
}

std::string Archive(const std::string& name) {
  return twitest::WindowsPathOf(TWI_FIXTURE_DIR) + "\\unzip\\" + name;
}

std::string Expected(const std::string& relative) {
  std::string path = twitest::WindowsPathOf(TWI_FIXTURE_DIR) + "\\unzip\\expected\\" + relative;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::optional<std::string> FileBytes(const std::string& path) {
  if (GetFileAttributesW(twi::ToWide(path).c_str()) == INVALID_FILE_ATTRIBUTES) {
    return std::nullopt;
  }
  return twitest::ReadFileBytes(path);
}

bool SameBytes(const std::string& a, const std::string& b) {
  std::ifstream first(std::filesystem::path(twi::ToWide(a)), std::ios::binary);
  std::ifstream second(std::filesystem::path(twi::ToWide(b)), std::ios::binary);
  if (!first || !second) return false;
  std::vector<char> x(1 << 20), y(1 << 20);
  for (;;) {
    first.read(x.data(), static_cast<std::streamsize>(x.size()));
    second.read(y.data(), static_cast<std::streamsize>(y.size()));
    if (first.gcount() != second.gcount()) return false;
    if (std::memcmp(x.data(), y.data(), static_cast<std::size_t>(first.gcount())) != 0) {
      return false;
    }
    if (first.gcount() == 0) return true;
  }
}

void SetWriteTime(const std::string& path, WORD year) {
  SYSTEMTIME when{};
  when.wYear = year;
  when.wMonth = 1;
  when.wDay = 1;
  FILETIME time;
  ASSERT_TRUE(SystemTimeToFileTime(&when, &time));
  HANDLE file = CreateFileW(twi::ToWide(path).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  SetFileTime(file, nullptr, nullptr, &time);
  CloseHandle(file);
}

SYSTEMTIME LocalWriteTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  GetFileAttributesExW(twi::ToWide(path).c_str(), GetFileExInfoStandard, &data);
  SYSTEMTIME utc{}, local{};
  FileTimeToSystemTime(&data.ftLastWriteTime, &utc);
  SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
  return local;
}

}  // namespace unziptest
