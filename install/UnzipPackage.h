#pragma once
// Unpacks a downloaded package for the installers: folder + packageName into
// targetFolder (created when missing), stored folders recreated, existing files
// overwritten without a question. A package that is a program rather than an
// archive is run and waited for; any other failure of the library is shown in
// a message box with the library's own text. Errors go to the status line
// ("Unzip: " + description) and the next step runs.
#include <string>

namespace twi::install {

class MainWindowLink;

void Unzip(MainWindowLink& window, const std::string& folder, const std::string& packageName,
           const std::string& targetFolder);

}  // namespace twi::install
