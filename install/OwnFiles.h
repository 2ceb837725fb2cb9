#pragma once
// The install center's own files in its program folder, which no download and no
// package may replace: the program (by its usual name and by the name it runs
// under), its previous copy kept by an update, the update program and its files,
// the settings file and its temporary copy, the log, the delivered Internet
// control, and the help and local package folders with everything in them.
#include <string>

namespace twi::install {

// True when `path` names one of them, however it is written: in any letter case,
// with the trailing dots and blanks Windows drops, or by an existing file's short
// (8.3) name.
bool IsOwnFile(const std::string& path);

}  // namespace twi::install
