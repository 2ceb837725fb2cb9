#include "report/cSharedHelp.h"

#include "base/AppInfo.h"
#include "base/NoDestructor.h"
#include "diag/TrapToLog.h"
#include "sys/cSharedFileSubs.h"
#include "sys/cSharedWWW.h"
#include "ui/MsgBox.h"

namespace twi {

std::string cSharedHelp::HelpFile() { return AppFolder() + "\\Help\\Index.htm"; }

void cSharedHelp::ShowHelp(HWND hwnd, const std::string& /*displayTopic*/) {
  std::string file;
  bool present = false;
  TrapToLog("ShowHelp", "cHelp", [&] {
    file = HelpFile();
    present = TheFileSubs().FileExists(file);
  });
  if (present)
    TrapToLog("ShowHelp", "cHelp", [&] { WebSiteVisit(hwnd, file); });
  else
    TrapToLog("ShowHelp", "cHelp", [&] { ui::MsgBox("Cannot find help file " + file); });
}

cSharedHelp& TheHelp() { return SharedInstance<cSharedHelp>(); }

}  // namespace twi
