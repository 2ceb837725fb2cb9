#pragma once
// What keeps a program file from being replaced: a process that runs it, or the
// error of opening it for reading and writing with no sharing (a program that is
// still ending, or any other program, holds it open). A file that is not there is
// held by nothing.
#include <string>

namespace twi::updater {

struct FileHold {
  bool running = false;
  unsigned long openError = 0;  // Win32 error code
  bool Free() const { return !running && openError == 0; }
};

FileHold HoldOn(const std::string& path);

}  // namespace twi::updater
