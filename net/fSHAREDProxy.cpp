#include "net/fSHAREDProxy.h"

#include "base/DoEvents.h"
#include "diag/TrapToLog.h"
#include "lang/cSharedLang.h"
#include "net/PasswordScrambler.h"
#include "report/cSharedHelp.h"
#include "settings/cSHAREDSettings.h"
#include "ui/MsgBox.h"

namespace twi {
namespace {

constexpr const char* kModule = "frmProxySetup";

}  // namespace

fSHAREDProxy::fSHAREDProxy() : ui::Form("Proxy Setup", 4875, 4110, ui::BorderStyle::FixedDialog) {}

void fSHAREDProxy::CreateControls() {
  optDefault.Create(*this, "System Default Proxy", {240, 120, 3600, 285}, {.firstOfGroup = true});
  optDefault.SetToolTipText("Uses your Internet Explorer settings");
  optNoProxy.Create(*this, "No Proxy", {240, 435, 3600, 285});
  optNoProxy.SetToolTipText("Switches off the proxy");
  optNamed.Create(*this, "Manual Settings", {240, 750, 3600, 285});
  optNamed.SetToolTipText("Allows you to specify proxy settings manually");

  // Shown only while "Manual Settings" is chosen.
  Frame1.Create(*this, "Proxy Settings", {120, 1140, 4635, 2280}, {.visible = false});
  Label1.Create(Frame1, "Server:", {150, 330, 1200, 255});
  txtServer.Create(Frame1, {1410, 285, 3060, 315});
  Label2.Create(Frame1, "Port:", {150, 720, 1200, 255});
  txtPort.Create(Frame1, {1410, 675, 1080, 315});
  Label4.Create(Frame1, "User:", {150, 1110, 1200, 255});
  txtUser.Create(Frame1, {1410, 1065, 3060, 315});
  Label3.Create(Frame1, "Password:", {150, 1500, 1200, 255});
  txtPassword.Create(Frame1, {1410, 1455, 3060, 315}, {.password = true});
  Label5.Create(Frame1, "Enter Again:", {150, 1890, 1200, 255});
  txtPassword2.Create(Frame1, {1410, 1845, 3060, 315}, {.password = true});

  cmdOK.Create(*this, "OK", {240, 3555, 1335, 405});
  cmdCancel.Create(*this, "Cancel", {1770, 3555, 1335, 405});
  cmdHelp.Create(*this, "Help", {3300, 3555, 1335, 405});

  optDefault.OnClick = [this] { ShowFrameForChoice(); };
  optNoProxy.OnClick = [this] { ShowFrameForChoice(); };
  optNamed.OnClick = [this] { ShowFrameForChoice(); };
  cmdOK.OnClick = [this] { cmdOK_Click(); };
  cmdCancel.OnClick = [this] { cmdCancel_Click(); };
  cmdHelp.OnClick = [this] { TheHelp().ShowHelp(hwnd()); };
}

void fSHAREDProxy::Form_Load() {
  long type = -1;
  TrapToLog("Form_Load", kModule, [&] { type = TheSettings().sGet("ProxyType", 1).AsLong(); });
  TrapToLog("Form_Load", kModule, [&] {
    if (type == 1) optNoProxy.SetValue(true);
    if (type == 0) optDefault.SetValue(true);
    if (type == 2) optNamed.SetValue(true);
  });
  const cSHAREDSettings& settings = TheSettings();
  TrapToLog("Form_Load", kModule, [&] { txtPort.SetText(settings.TextOf("ProxyPort")); });
  TrapToLog("Form_Load", kModule, [&] { txtServer.SetText(settings.TextOf("ProxyServer")); });
  TrapToLog("Form_Load", kModule, [&] { txtUser.SetText(settings.TextOf("ProxyUser")); });
  TrapToLog("Form_Load", kModule,
            [&] { txtPassword.SetText(Decrypt(settings.TextOf("ProxyPwd"))); });
  TrapToLog("Form_Load", kModule,
            [&] { txtPassword2.SetText(Decrypt(settings.TextOf("ProxyPwd"))); });
}

void fSHAREDProxy::ShowFrameForChoice() { Frame1.SetVisible(optNamed.Value()); }

void fSHAREDProxy::cmdOK_Click() {
  if (txtPassword.Text() != txtPassword2.Text()) {
    ui::MsgBox(kPasswordsDiffer);
    return;
  }
  cSHAREDSettings& settings = TheSettings();
  TrapToLog("cmdOK_Click", kModule, [&] { settings.sSet("ProxyServer", txtServer.Text()); });
  TrapToLog("cmdOK_Click", kModule, [&] { settings.sSet("ProxyPort", txtPort.Text()); });
  TrapToLog("cmdOK_Click", kModule, [&] { settings.sSet("ProxyUser", txtUser.Text()); });
  TrapToLog("cmdOK_Click", kModule, [&] { settings.sSet("ProxyPwd", Encrypt(txtPassword.Text())); });
  TrapToLog("cmdOK_Click", kModule, [&] {
    long type = optDefault.Value() ? 0 : optNamed.Value() ? 2 : 1;
    settings.sSet("ProxyType", Variant(type));
  });
  Hide();
  DoEvents();
}

void fSHAREDProxy::cmdCancel_Click() {
  Hide();
  DoEvents();
}

void ShowProxyDialog() {
  fSHAREDProxy dialog;
  dialog.Load();
  TheLang().TranslateForm(dialog);
  dialog.Show(true);
  dialog.Unload();
}

}  // namespace twi
