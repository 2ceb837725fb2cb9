#pragma once
// The proxy settings dialog ("Proxy Setup"): the system's default connection,
// no proxy, or a named proxy server with port, user and password (typed twice).
// OK stores the choice in the settings ("ProxyServer", "ProxyPort",
// "ProxyUser", "ProxyPwd" scrambled, "ProxyType" 0, 1 or 2) and hides the
// dialog; Cancel hides it. Its owner shows it modally and unloads it.
#include "ui/Button.h"
#include "ui/Form.h"
#include "ui/Frame.h"
#include "ui/Label.h"
#include "ui/OptionButton.h"
#include "ui/TextBox.h"

namespace twi {

class fSHAREDProxy : public ui::Form {
 public:
  fSHAREDProxy();

  ui::OptionButton optDefault, optNoProxy, optNamed;
  ui::Frame Frame1;  // the server, port, user and password fields
  ui::Label Label1, Label2, Label3, Label4, Label5;
  ui::TextBox txtServer, txtPort, txtUser, txtPassword, txtPassword2;
  ui::Button cmdOK, cmdCancel, cmdHelp;

  static constexpr const char* kPasswordsDiffer =
      "Your passwords don't match.  Please retype them.";

 protected:
  void CreateControls() override;
  void Form_Load() override;

 private:
  void ShowFrameForChoice();
  void cmdOK_Click();
  void cmdCancel_Click();
};

// Loads the proxy dialog, translates it, shows it modally and unloads it.
void ShowProxyDialog();

}  // namespace twi
