#include "app/frmAbout.h"

#include "base/AppInfo.h"
#include "sys/cSHAREDSubs.h"
#include "sys/cSharedWWW.h"

namespace twi {

frmAbout::frmAbout() : ui::Form("About", 4800, 2520, ui::BorderStyle::FixedDialog) {}

void frmAbout::CreateControls() {
  lblTitle.Create(*this, AppTitle(), {240, 180, 4320, 285});
  lblTitle.SetFontBold(true);
  lblVersion.Create(*this, "Version", {240, 495, 4320, 285});
  lblMaker.Create(*this, "Tarnwick Software", {240, 900, 4320, 285});
  lblWebSite.Create(*this, MakerWebSite(), {240, 1185, 4320, 285});
  lblWebSite.SetForeColor(ui::Colour::Rgb(RGB(0, 0, 0xFF)));
  lblWebSite.SetToolTipText("Visit the Tarnwick Software web site");
  lblSupport.Create(*this, SupportEmail(), {240, 1470, 4320, 285});
  lblSupport.SetForeColor(ui::Colour::Rgb(RGB(0, 0, 0xFF)));
  lblSupport.SetToolTipText("Write to Tarnwick Software support");
  cmdOK.Create(*this, "OK", {3540, 1920, 1020, 375});
}

void frmAbout::Form_Load() {
  lblVersion.SetCaption("Version " + TheSubs().AppVersion());
  lblWebSite.OnClick = [this] { WebSiteVisit(hwnd(), MakerWebSite()); };
  lblSupport.OnClick = [this] { WebSiteVisit(hwnd(), "mailto:" + SupportEmail()); };
  cmdOK.OnClick = [this] { Hide(); };
}

}  // namespace twi
