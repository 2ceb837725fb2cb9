#pragma once
// Replaces a file in use at the next start of Windows: the new file is copied
// beside the old one under a temporary name (the target's name upper-cased,
// ".OCX" and ".DLL" becoming ".TMP"), and wininit.ini in the Windows folder gets
// one group of lines: on the 9x family "[rename]" and "target=temporary", which
// Windows carries out at start-up (an entry joins the file's [rename] section
// when it has one: start-up reads only the first); on the NT family the record line
// "MoveFileEx(temporary,target, MOVEFILE_DELAY_UNTIL_REBOOT);" together with the
// system's own delayed move, which is what replaces the file there (a refusal is
// logged). The window then reminds the user of the reboot at exit. Errors (an init file
// that cannot be opened) are raised to the caller.
#include <string>

namespace twi::install {

class MainWindowView;

void ReplaceAtReboot(MainWindowView& window, const std::string& sourcePath,
                     const std::string& fileName, const std::string& systemFolder);

// The temporary name the new file waits under.
std::string TemporaryNameFor(const std::string& systemFolder, const std::string& fileName);

}  // namespace twi::install
