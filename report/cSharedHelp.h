#pragma once
// The program's help: the page Help\Index.htm in the program folder, opened in
// the user's browser. One shared service object.
#include <windows.h>

#include <string>

namespace twi {

class cSharedHelp {
 public:
  // Opens the help page; a missing page is reported in a message box ("Cannot
  // find help file " and its path). The topic is accepted and not used.
  void ShowHelp(HWND hwnd, const std::string& displayTopic = "");
  // The help page's full path.
  static std::string HelpFile();
};

cSharedHelp& TheHelp();

}  // namespace twi
