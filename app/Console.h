#pragma once
// Where a command run writes its results and the usage for the person or script
// that started it: the standard output it was given (a pipe or a file), else the
// console of the program that started it (cmd.exe; a program of the window
// subsystem has none of its own, so it attaches to its parent's). Started from
// Explorer there is neither, and the lines go nowhere.
#include <string>

#include "base/UniqueHandle.h"

namespace twi {

class Console {
 public:
  Console();
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;
  void Line(const std::string& text);

 private:
  HANDLE out_ = nullptr;
  bool isConsole_ = false;
  UniqueHandle conout_;  // the parent's console output, when attached
};

}  // namespace twi
