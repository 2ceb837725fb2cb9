#pragma once
// Runs Wiz_SingleEntryUnzip the way the install center does and records what the
// library printed and asked. The archives come from make_archives.py (build time).
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/unzip32/Unzip32.h"
#include "support/TestSupport.h"

namespace unziptest {

struct Answers {
  std::vector<int> replace;                         // answers to the overwrite question
  std::vector<std::optional<std::string>> passwords;  // nullopt: "no password" (1)
  int service = 0;                                  // answer of the service routine
};

struct Outcome {
  int rc = -1;
  std::string printed;
  std::vector<std::string> replaceAsked;    // file names the overwrite question named
  std::vector<std::string> passwordPrompts;
  std::vector<std::string> passwordEntries;
  std::vector<std::string> serviceEntries;
  UnzipCallbacks totals{};
};

// Options as the install center's class starts them: overwrite without asking,
// folders kept, message level 2, names case-sensitive.
UnzipOptions DefaultOptions();

Outcome RunUnzip(const std::string& archive, const std::string& target,
                 const std::function<void(UnzipOptions&)>& configure = {},
                 const Answers& answers = {});

// The folder of the test archives, and of the bytes their entries must give.
std::string Archive(const std::string& name);
std::string Expected(const std::string& relative);

// Bytes of a file; nullopt when it does not exist.
std::optional<std::string> FileBytes(const std::string& path);
using twitest::FolderNames;
// True when both files hold the same bytes (streamed, for big files).
bool SameBytes(const std::string& a, const std::string& b);
void SetWriteTime(const std::string& path, WORD year);
SYSTEMTIME LocalWriteTime(const std::string& path);

}  // namespace unziptest
