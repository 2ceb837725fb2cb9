#pragma once
// Exceptions never leave a window procedure: the forms layer catches them at
// the boundary and hands them here. The program installs a sink that logs them;
// without one they go to the debugger output.
#include <functional>
#include <string>

namespace ui {

using UnhandledSink = std::function<void(const std::string& description)>;
void SetUnhandledExceptionSink(UnhandledSink sink);
// Call from inside a catch block.
void ReportUnhandledException();

}  // namespace ui
