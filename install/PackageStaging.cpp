#include "install/PackageStaging.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "base/FileSystem.h"
#include "base/FindHandle.h"
#include "base/RuntimeError.h"
#include "base/TextConv.h"
#include "install/OwnFiles.h"

namespace twi::install {
namespace {

constexpr int kNamesToTry = 100;

std::string WithoutTrailingBackslash(std::string path) {
  while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  return path;
}

std::string Joined(const std::string& first, const std::string& second) {
  if (first.empty()) return second;
  return second.empty() ? first : first + "\\" + second;
}

// The names in a folder, without "." and "..".
std::vector<std::string> NamesIn(const std::string& folder) {
  std::vector<std::string> names;
  FindHandle find(folder + "\\*");
  for (bool more = find.Found(); more; more = find.Next()) {
    std::string name = ToUtf8(find.Data().cFileName);
    if (name != "." && name != "..") names.push_back(name);
  }
  return names;
}

bool IsFolder(const std::string& path) {
  DWORD attributes = GetFileAttributesW(ToWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

PackageStaging::PackageStaging(const std::string& target)
    : target_(WithoutTrailingBackslash(target)) {
  // A name of this process's own: another install center may unpack beside it.
  char stem[16];
  std::snprintf(stem, sizeof stem, "~uz%lx-", GetCurrentProcessId());
  for (int n = 1; n <= kNamesToTry; ++n) {
    std::string candidate = target_ + "\\" + stem + std::to_string(n);
    if (CreateDirectoryW(ToWide(candidate).c_str(), nullptr)) {
      path_ = candidate;
      return;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  throw RuntimeError::FromLastError();
}

PackageStaging::~PackageStaging() { RemoveTree(path_); }

PackageStaging::Outcome PackageStaging::MoveIntoTarget() {
  Outcome outcome;
  PutFolder("", outcome);
  std::sort(outcome.leftOut.begin(), outcome.leftOut.end());
  return outcome;
}

void PackageStaging::PutFolder(const std::string& relative, Outcome& outcome) {
  const std::string into = Joined(target_, relative);
  // An own folder (Help, Local) is not made; what the package holds in it is left out.
  if (!relative.empty() && !IsOwnFile(into) && !IsFolder(into) &&
      !CreateDirectoryW(ToWide(into).c_str(), nullptr)) {
    outcome.failed.push_back(into + ": " + RuntimeError::FromLastError().Description());
    return;
  }
  const std::string from = Joined(path_, relative);
  for (const std::string& name : NamesIn(from)) {
    const std::string inner = Joined(relative, name);
    if (IsFolder(Joined(path_, inner)))
      PutFolder(inner, outcome);
    else
      PutFile(inner, outcome);
  }
}

void PackageStaging::PutFile(const std::string& relative, Outcome& outcome) {
  const std::string destination = Joined(target_, relative);
  if (IsOwnFile(destination)) {
    outcome.leftOut.push_back(relative);
    return;
  }
  // A read-only file of the same name is replaced on purpose, as the library does.
  std::wstring wide = ToWide(destination);
  DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    SetFileAttributesW(wide.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  if (unsigned long error = ReplaceFileWith(Joined(path_, relative), destination))
    outcome.failed.push_back(destination + ": " + RuntimeError::FromWin32(error).Description());
}

}  // namespace twi::install
