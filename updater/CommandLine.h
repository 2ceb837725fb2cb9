#pragma once
// What the update program reads from its command line: the install center's
// caption, everything after the program's own path and the one blank that
// follows it. The install center writes the path in quotes
// ("C:\Tarn wick\Updater.exe" Tarnwick Software Install Center); a command line
// typed by hand may leave them out, and then a blank in the folder's name is part
// of the path, not the start of the caption.
#include <string>
#include <string_view>

namespace twi::updater {

// `line` as GetCommandLineW gives it, `programPath` the full path of the running
// program (GetModuleFileNameW).
std::string CaptionFromCommandLine(std::wstring_view line, std::wstring_view programPath);

}  // namespace twi::updater
