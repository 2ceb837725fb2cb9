#include "updater/KeptCopy.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "base/FileSystem.h"
#include "base/TextConv.h"
#include "base/UniqueHandle.h"

namespace twi::updater {
namespace {

UniqueHandle OpenForReading(const std::string& path) {
  return UniqueHandle(CreateFileW(ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Reads up to `buffer.size()` bytes; how many came (0 at the end), -1 on an error.
long ReadBlock(HANDLE file, std::vector<char>& buffer) {
  DWORD got = 0;
  return ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)
             ? static_cast<long>(got)
             : -1;
}

bool SameBytes(const std::string& a, const std::string& b) {
  UniqueHandle first = OpenForReading(a), second = OpenForReading(b);
  if (!first || !second) return false;
  std::vector<char> one(1 << 16), two(1 << 16);
  for (;;) {
    long got = ReadBlock(first.Get(), one);
    if (got < 0 || ReadBlock(second.Get(), two) != got) return false;
    if (got == 0) return true;
    if (!std::equal(one.begin(), one.begin() + got, two.begin())) return false;
  }
}

}  // namespace

KeptCopy::KeptCopy(std::string original)
    : original_(std::move(original)),
      path_(original_ + ".previous"),
      partial_(original_ + ".previous.part") {}

bool KeptCopy::Exists() const { return IsExistingFile(path_); }

unsigned long KeptCopy::CopyAside() const {
  DiscardPart();
  if (CopyFileW(ToWide(original_).c_str(), ToWide(partial_).c_str(), FALSE)) return 0;
  unsigned long error = GetLastError();
  DiscardPart();
  return error;
}

unsigned long KeptCopy::Complete() const { return ReplaceFileWith(partial_, path_); }

bool KeptCopy::HasPartOfOne() const { return IsExistingFile(partial_); }

bool KeptCopy::SameAsOriginal() const { return SameBytes(original_, path_); }

unsigned long KeptCopy::PutBack() const { return ReplaceFileWith(path_, original_); }

void KeptCopy::Discard() const {
  RemoveFile(path_);
  DiscardPart();
}

void KeptCopy::DiscardPart() const { RemoveFile(partial_); }

}  // namespace twi::updater
