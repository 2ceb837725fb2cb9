#pragma once
// While it exists, every write of the running test program to a file whose name ends
// in one of `names` (any letter case; a file opened after it was made) fails with
// `error`, as a full disk or a failing drive refuses it: a real fault at the program's
// boundary with the system, for code that must not lose data when a write fails.
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "support/ImportHook.h"

namespace twitest {

class FailingWrites {
 public:
  FailingWrites(std::vector<std::string> names, DWORD error = ERROR_DISK_FULL);
  ~FailingWrites();
  FailingWrites(const FailingWrites&) = delete;
  FailingWrites& operator=(const FailingWrites&) = delete;

  bool Installed() const { return create_.Installed() && write_.Installed(); }
  // How many writes were refused.
  int Refused() const;

 private:
  // What the replaced calls use; one at a time (the replacements are plain functions).
  struct Faults {
    Faults(std::vector<std::string> upperNames, DWORD error);
    ~Faults();
    Faults(const Faults&) = delete;
    Faults& operator=(const Faults&) = delete;
    std::vector<std::string> names;
    DWORD error;
    std::set<HANDLE> handles;  // opened files whose writes fail
    int refused = 0;
  };
  Faults faults_;  // made before the replacements and gone after them
  ImportHook create_;
  ImportHook write_;
};

}  // namespace twitest
