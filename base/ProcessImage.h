#pragma once
// The program file a running process was started from.
#include <string>

namespace twi {

// The full path of process `pid`'s program file, "" when the process is gone or may not
// be read. Through the process status library (XP has it; the direct query of the
// image name came with Vista).
std::string ProcessImagePath(unsigned long pid);

}  // namespace twi
