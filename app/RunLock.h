#pragma once
// One run at a time in a program folder: runs there share the settings file, the
// log and the folder the packages are downloaded and unpacked into. A named mutex
// of the folder (in the Global namespace: logon scripts of several sessions may
// share one folder) is held for the whole run and released just before the
// process ends; a run that ends without releasing it (its process ended from
// outside) leaves it abandoned, and the next run is told so.
#include <string>

#include "base/UniqueHandle.h"

namespace twi {

enum class LockResult { Held, HeldAfterAbandoned, Busy };

class RunLock {
 public:
  explicit RunLock(const std::string& programFolder);
  RunLock(const RunLock&) = delete;
  RunLock& operator=(const RunLock&) = delete;
  // Waits up to `seconds` (0: not at all) for the folder to be free.
  LockResult Acquire(int seconds);
  void Release();
  // The mutex's name for a program folder (the folder compared without regard to case).
  static std::wstring NameFor(const std::string& programFolder);

 private:
  UniqueHandle mutex_;
  bool held_ = false;
};

}  // namespace twi
