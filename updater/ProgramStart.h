#pragma once
// Starting a program file as the update program does: by its full path, quoted on
// the command line (a blank in the folder's name must not make Windows start
// another program first), in a given folder, its window shown normally.
#include <string>

#include "base/UniqueHandle.h"

namespace twi::updater {

// The process, or an empty handle when the program could not be started (`why`
// then says why, as a run-time error's description).
UniqueHandle StartProgramFile(const std::string& path, const std::string& folder,
                              std::string& why);

}  // namespace twi::updater
