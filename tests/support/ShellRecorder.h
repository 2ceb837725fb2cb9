#pragma once
// While it exists, the Windows shell of the test prefix opens mail links
// ("mailto:"), text files (.txt) and web pages (.htm) with the test helper
// probe.exe ("opened"), which records the document it was started with instead of
// starting a mail program, an editor or a browser. The previous associations
// come back when it goes. Suites that use it take the CTest lock
// shell_associations: all suites share one prefix.
#include <chrono>
#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace twitest {

class ShellRecorder {
 public:
  ShellRecorder();
  ~ShellRecorder();
  ShellRecorder(const ShellRecorder&) = delete;
  ShellRecorder& operator=(const ShellRecorder&) = delete;

  // What the shell was asked to open, one entry per start of the helper (the
  // document or link as the shell handed it over), in the order the helpers wrote
  // them down (for two opened at once, not always the order of the opens); waits,
  // pumping messages, until there are at least `count` or the time is up.
  std::vector<std::string> Opened(size_t count = 1,
                                  std::chrono::milliseconds timeout = std::chrono::seconds(15));

 private:
  struct Saved {
    std::wstring key;
    bool existed;
    std::wstring value;
  };
  void SetDefault(const std::wstring& key, const std::wstring& value);

  ScratchFolder folder_;
  std::string recordFile_;
  std::vector<Saved> saved_;
};

}  // namespace twitest
