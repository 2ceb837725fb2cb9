// The "Proxy Setup" dialog: its controls, what it shows for the stored choice,
// what OK stores (in order, the password scrambled), the password check,
// Cancel, Help, and its opening from the main window's "Proxy Settings".
#include <gtest/gtest.h>

#include "app/frmMain.h"
#include "base/AppInfo.h"
#include "lang/cSharedLang.h"
#include "net/PasswordScrambler.h"
#include "net/fSHAREDProxy.h"
#include "proxy/ProxyTestSupport.h"
#include "support/MainWindowDriver.h"
#include "support/ModalForms.h"

namespace {

using twi::fSHAREDProxy;
using twi::Variant;

class ProxyDialog : public ::testing::Test {
 protected:
  void SetUp() override { proxytest::FreshSettingsAndLog(); }
  void TearDown() override {
    if (dialog.IsLoaded()) dialog.Unload();
  }
  fSHAREDProxy dialog;
};

TEST_F(ProxyDialog, ControlsCaptionsAndToolTips) {
  dialog.Load();
  EXPECT_EQ(dialog.Caption(), "Proxy Setup");
  struct Case {
    const ui::Control* control;
    const char* caption;
    const char* tip;
    bool inFrame;
  } cases[] = {
      {&dialog.optDefault, "System Default Proxy", "Uses your Internet Explorer settings", false},
      {&dialog.optNoProxy, "No Proxy", "Switches off the proxy", false},
      {&dialog.optNamed, "Manual Settings", "Allows you to specify proxy settings manually", false},
      {&dialog.Frame1, "Proxy Settings", "", false},
      {&dialog.Label1, "Server:", "", true},
      {&dialog.Label2, "Port:", "", true},
      {&dialog.Label4, "User:", "", true},
      {&dialog.Label3, "Password:", "", true},
      {&dialog.Label5, "Enter Again:", "", true},
      {&dialog.txtServer, "", "", true},
      {&dialog.txtPort, "", "", true},
      {&dialog.txtUser, "", "", true},
      {&dialog.txtPassword, "", "", true},
      {&dialog.txtPassword2, "", "", true},
      {&dialog.cmdOK, "OK", "", false},
      {&dialog.cmdCancel, "Cancel", "", false},
      {&dialog.cmdHelp, "Help", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    EXPECT_EQ(c.control->Caption(), c.caption);
    EXPECT_EQ(c.control->ToolTipText(), c.tip);
    EXPECT_EQ(c.control->Parent() == &dialog.Frame1, c.inFrame);
  }
  for (const ui::TextBox* box : {&dialog.txtPassword, &dialog.txtPassword2})
    EXPECT_EQ(SendMessageW(box->hwnd(), EM_GETPASSWORDCHAR, 0, 0), '*');
  EXPECT_EQ(SendMessageW(dialog.txtServer.hwnd(), EM_GETPASSWORDCHAR, 0, 0), 0);
}

TEST_F(ProxyDialog, TheStoredChoiceIsShownAndTheFrameOnlyForManualSettings) {
  struct Case {
    const char* name;
    std::optional<Variant> type;
    bool defaultChosen, noProxyChosen, namedChosen;
  } cases[] = {
      {"nothing stored", std::nullopt, false, true, false},
      {"system default", Variant(0), true, false, false},
      {"no proxy", Variant(1), false, true, false},
      {"manual", Variant(2), false, false, true},
      {"manual, read back from the file", Variant(" 2 "), false, false, true},
      {"unknown", Variant(5), false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    twi::TheSettings().DeleteAllSettings();
    if (c.type) twi::TheSettings().sSet("ProxyType", *c.type);
    twi::TheSettings().sSet("ProxyServer", "myproxy");
    twi::TheSettings().sSet("ProxyPort", "8080");
    twi::TheSettings().sSet("ProxyUser", "me");
    twi::TheSettings().sSet("ProxyPwd", twi::Encrypt("a b&c"));
    fSHAREDProxy shown;
    shown.Load();
    EXPECT_EQ(shown.optDefault.Value(), c.defaultChosen);
    EXPECT_EQ(shown.optNoProxy.Value(), c.noProxyChosen);
    EXPECT_EQ(shown.optNamed.Value(), c.namedChosen);
    EXPECT_EQ(shown.Frame1.Visible(), c.namedChosen);
    EXPECT_EQ(shown.txtServer.Text(), "myproxy");
    EXPECT_EQ(shown.txtPort.Text(), "8080");
    EXPECT_EQ(shown.txtUser.Text(), "me");
    EXPECT_EQ(shown.txtPassword.Text(), "a b&c");
    EXPECT_EQ(shown.txtPassword2.Text(), "a b&c");
    // Choosing an option shows the frame for "Manual Settings" only.
    SendMessageW(shown.optNamed.hwnd(), BM_CLICK, 0, 0);
    EXPECT_TRUE(shown.Frame1.Visible());
    SendMessageW(shown.optDefault.hwnd(), BM_CLICK, 0, 0);
    EXPECT_FALSE(shown.Frame1.Visible());
    shown.Unload();
  }
  // An unscrambled stored password is shown as it is.
  twi::TheSettings().sSet("ProxyPwd", "plain");
  dialog.Load();
  EXPECT_EQ(dialog.txtPassword.Text(), "plain");
}

TEST_F(ProxyDialog, OkStoresInOrderWhateverTheOptionAndHides) {
  struct Case {
    ui::OptionButton fSHAREDProxy::*option;
    long type;
  } cases[] = {{&fSHAREDProxy::optNamed, 2}, {&fSHAREDProxy::optDefault, 0},
               {&fSHAREDProxy::optNoProxy, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    twi::TheSettings().DeleteAllSettings();
    fSHAREDProxy shown;
    twitest::WhenShown<fSHAREDProxy> act([&](fSHAREDProxy& d) {
      SendMessageW((d.*c.option).hwnd(), BM_CLICK, 0, 0);
      d.txtServer.SetText("myproxy");
      d.txtPort.SetText("80");
      d.txtUser.SetText("me");
      d.txtPassword.SetText("p ß<&>\"");
      d.txtPassword2.SetText("p ß<&>\"");
      SendMessageW(d.cmdOK.hwnd(), BM_CLICK, 0, 0);
    });
    shown.Show(true);
    EXPECT_TRUE(act.Done());
    EXPECT_TRUE(shown.IsLoaded());
    EXPECT_FALSE(shown.Visible());
    const auto& entries = twi::TheSettings().Entries();
    ASSERT_EQ(entries.size(), 5u);
    const char* order[] = {"ProxyServer", "ProxyPort", "ProxyUser", "ProxyPwd", "ProxyType"};
    for (size_t i = 0; i < 5; ++i) EXPECT_EQ(entries[i].KeyName, order[i]);
    EXPECT_EQ(entries[0].KeyValue, Variant("myproxy"));
    EXPECT_EQ(entries[1].KeyValue, Variant("80"));
    EXPECT_EQ(entries[2].KeyValue, Variant("me"));
    EXPECT_EQ(entries[3].KeyValue, Variant(twi::Encrypt("p ß<&>\"")));
    EXPECT_EQ(entries[4].KeyValue, Variant(c.type));
    shown.Unload();
  }
}

TEST_F(ProxyDialog, DifferentPasswordsKeepTheDialogOpenAndStoreNothing) {
  twitest::MsgBoxRecorder boxes;
  bool stillShownAfterOk = false;
  twitest::WhenShown<fSHAREDProxy> act([&](fSHAREDProxy& d) {
    SendMessageW(d.optNamed.hwnd(), BM_CLICK, 0, 0);
    d.txtServer.SetText("myproxy");
    d.txtPassword.SetText("one");
    d.txtPassword2.SetText("two");
    SendMessageW(d.cmdOK.hwnd(), BM_CLICK, 0, 0);
    stillShownAfterOk = d.Visible();
    SendMessageW(d.cmdCancel.hwnd(), BM_CLICK, 0, 0);
  });
  dialog.Show(true);
  ASSERT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(boxes.Calls()[0].prompt, "Your passwords don't match.  Please retype them.");
  EXPECT_EQ(boxes.Calls()[0].style, ui::vbOKOnly);
  EXPECT_TRUE(stillShownAfterOk);
  EXPECT_TRUE(twi::TheSettings().Entries().empty());  // neither OK nor Cancel stored anything
  EXPECT_FALSE(dialog.Visible());
}

TEST_F(ProxyDialog, HelpOpensTheHelpPage) {
  // This suite's program folder has no help page: the message names the path.
  twitest::MsgBoxRecorder boxes;
  dialog.Load();
  SendMessageW(dialog.cmdHelp.hwnd(), BM_CLICK, 0, 0);
  ASSERT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(boxes.Calls()[0].prompt, "Cannot find help file " + twi::AppFolder() + "\\Help\\Index.htm");
}

TEST(MainWindowProxySettings, OpensTheDialogTranslatedModalAndUnloadsItAfter) {
  proxytest::FreshSettingsAndLog();
  twi::frmMain window;
  twitest::StartMainWindow(window);  // loads this suite's (absent) settings file
  twi::TheSettings().sSet("ProxyType", 2);
  twi::TheSettings().sSet("ProxyServer", "myproxy");
  // What the dialog shows without the translation step.
  fSHAREDProxy plain;
  plain.Load();
  std::vector<std::string> expected;
  for (const ui::Control* c : std::initializer_list<const ui::Control*>{
           &plain.optDefault, &plain.optNoProxy, &plain.optNamed, &plain.Frame1, &plain.Label1,
           &plain.txtServer, &plain.cmdOK})
    expected.push_back(c->Caption() + "|" + c->ToolTipText());
  plain.Unload();

  bool mainDisabled = false;
  std::vector<std::string> seen;
  twitest::WhenShown<fSHAREDProxy> act([&](fSHAREDProxy& d) {
    mainDisabled = !IsWindowEnabled(window.hwnd());
    for (const ui::Control* c : std::initializer_list<const ui::Control*>{
             &d.optDefault, &d.optNoProxy, &d.optNamed, &d.Frame1, &d.Label1, &d.txtServer,
             &d.cmdOK})
      seen.push_back(c->Caption() + "|" + c->ToolTipText());
    EXPECT_TRUE(d.optNamed.Value());
    d.txtPort.SetText("3128");
    SendMessageW(d.cmdOK.hwnd(), BM_CLICK, 0, 0);
  });
  SendMessageW(window.cmdProxy.hwnd(), BM_CLICK, 0, 0);
  EXPECT_TRUE(act.Done());
  EXPECT_TRUE(mainDisabled);
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(twitest::VisibleForm<fSHAREDProxy>(), nullptr);
  for (ui::Form* form : ui::Forms().All()) EXPECT_EQ(dynamic_cast<fSHAREDProxy*>(form), nullptr);
  EXPECT_EQ(twi::TheSettings().sGet("ProxyPort").AsText(), "3128");
  EXPECT_TRUE(IsWindowEnabled(window.hwnd()));
  window.Unload();
}

}  // namespace
