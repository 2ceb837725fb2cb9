#pragma once
// Starting a program file as the update program does: by its full path, quoted on
// the command line (a blank in the folder's name must not make Windows start
// another program first), in a given folder, its window shown normally.
#include <string>

#include "base/UniqueHandle.h"

namespace twi::updater {

struct StartedProcess {
  UniqueHandle handle;  // empty when the program could not be started
  unsigned long id = 0;
};

// The process; when the program could not be started, `why` says why (a
// run-time error's description, "Bad EXE format for TWInstall.exe").
StartedProcess StartProgramFile(const std::string& path, const std::string& folder,
                                std::string& why);

}  // namespace twi::updater
