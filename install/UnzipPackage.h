#pragma once
// Unpacks a downloaded package for the installers: folder + packageName into
// targetFolder (created when missing), stored folders recreated, existing files
// overwritten without a question. The library unpacks into a folder of the
// package's own inside the target (install/PackageStaging.h), and only a package
// that unpacked (with warnings at most) is moved into the target, without the
// install center's own files: a package that failed leaves nothing. A package
// that is a program rather than an archive is run and waited for; any other
// result of the library is shown in a message box with the library's own text,
// or a sentence of ours where it printed none. Errors go to the status line
// ("Unzip: " + description) and the next step runs.
#include <string>

namespace twi::install {

class MainWindowView;

// True when the package was unpacked into the target (or was a program and ran);
// false when it failed, and nothing of it is in the target.
bool Unzip(MainWindowView& window, const std::string& folder, const std::string& packageName,
           const std::string& targetFolder);

}  // namespace twi::install
