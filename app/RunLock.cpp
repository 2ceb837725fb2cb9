#include "app/RunLock.h"

#include <cstdint>

#include "base/TextConv.h"

namespace twi {

std::wstring RunLock::NameFor(const std::string& programFolder) {
  // A mutex name cannot hold a backslash after its namespace: the folder goes in as
  // a 64-bit FNV-1a hash of its upper-cased path.
  std::uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : UpperLocale(programFolder)) hash = (hash ^ c) * 1099511628211ull;
  std::wstring name = L"Global\\TWInstall.Run.";
  for (int shift = 60; shift >= 0; shift -= 4) name += L"0123456789abcdef"[(hash >> shift) & 0xF];
  return name;
}

RunLock::RunLock(const std::string& programFolder) {
  std::wstring name = NameFor(programFolder);
  mutex_.Reset(CreateMutexW(nullptr, FALSE, name.c_str()));
  // Without terminal services (or where Global names are refused) the session's own.
  if (!mutex_) mutex_.Reset(CreateMutexW(nullptr, FALSE, name.substr(7).c_str()));
}

LockResult RunLock::Acquire(int seconds) {
  if (!mutex_) return LockResult::Held;  // no mutex can be made: the run goes on alone
  DWORD waited = WaitForSingleObject(mutex_.Get(), static_cast<DWORD>(seconds) * 1000u);
  if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) held_ = true;
  if (waited == WAIT_ABANDONED) return LockResult::HeldAfterAbandoned;
  return held_ ? LockResult::Held : LockResult::Busy;
}

void RunLock::Release() {
  if (held_) ReleaseMutex(mutex_.Get());
  held_ = false;
}

}  // namespace twi
