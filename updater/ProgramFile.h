#pragma once
// Whether a file is a Windows program that can be started: a PE image ("MZ"
// header pointing at a "PE" signature) marked as an executable, not a DLL.
// What the update program checks after a package ran, before it starts the
// install center again.
#include <string>

namespace twi::updater {

bool IsRunnableProgram(const std::string& path);

}  // namespace twi::updater
