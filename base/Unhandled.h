#pragma once
// Exceptions never leave a window procedure or a timer: the forms layer (and the
// transfer control's state window) catch them at the boundary and hand them here.
// The program installs a sink that logs them; without one they go to the
// debugger output.
#include <functional>
#include <string>

namespace twi {

using UnhandledSink = std::function<void(const std::string& description)>;
void SetUnhandledExceptionSink(UnhandledSink sink);
// Call from inside a catch block.
void ReportUnhandledException();

}  // namespace twi
