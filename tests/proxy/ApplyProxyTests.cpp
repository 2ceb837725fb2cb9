// ApplyProxy: the stored choice set on the transfer control, the actions it
// logs, the rule for a missing control (error 339) and for other errors.
#include <gtest/gtest.h>

#include "net/PasswordScrambler.h"
#include "net/ProxyApply.h"
#include "net/cSHAREDInternet.h"
#include "net/fSHAREDInternet.h"
#include "platform/inet/InetControl.h"
#include "proxy/ProxyTestSupport.h"

namespace {

using twi::Variant;

struct Stored {
  const char* key;
  Variant value;
};

TEST(ApplyProxy, TheStoredChoiceOnTheControl) {
  struct Case {
    const char* name;
    std::vector<Stored> settings;
    std::string proxyBefore;
    int accessType;
    std::string proxy, user, password, action;
    bool credentialsNoted;
  } cases[] = {
      {"nothing stored: direct", {}, "old:1", 1, "", "", "", "Proxy set to: 1 ", false},
      {"manual",
       {{"ProxyType", Variant(2)}, {"ProxyServer", Variant("myproxy")}, {"ProxyPort", Variant("80")},
        {"ProxyUser", Variant("me")}, {"ProxyPwd", Variant(twi::Encrypt("p w&<ß>"))}},
       "", 2, "myproxy:80", "me", "p w&<ß>", "Proxy set to: 2 myproxy:80", true},
      {"manual as read back from the file",
       {{"ProxyType", Variant(" 2 ")}, {"ProxyServer", Variant("10.0.0.1")},
        {"ProxyPort", Variant("3128")}, {"ProxyPwd", Variant("plain")}},
       "", 2, "10.0.0.1:3128", "", "plain", "Proxy set to: 2 10.0.0.1:3128", true},
      {"manual without a port", {{"ProxyType", Variant(2)}, {"ProxyServer", Variant("myproxy")}},
       "old:1", 2, "", "", "", "Proxy set to: 2 ", true},
      {"system default keeps the proxy", {{"ProxyType", Variant(0)}}, "old:1", 0, "old:1", "", "",
       "Proxy set to: 0 old:1", false},
      {"no proxy", {{"ProxyType", Variant(1)}, {"ProxyServer", Variant("myproxy")}}, "old:1", 1,
       "", "", "", "Proxy set to: 1 ", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    proxytest::FreshSettingsAndLog();
    for (const Stored& s : c.settings) twi::TheSettings().sSet(s.key, s.value);
    twi::inet::InetControl control;
    control.SetProxy(c.proxyBefore);
    control.SetUserName("stale");
    control.SetPassword("stale");
    bool missing = false;
    twi::ApplyStoredProxy(&control, missing);
    EXPECT_FALSE(missing);
    EXPECT_EQ(control.AccessType(), c.accessType);
    EXPECT_EQ(control.Proxy(), c.proxy);
    EXPECT_EQ(control.UserName(), c.user);
    EXPECT_EQ(control.Password(), c.password);
    std::vector<std::string> log = proxytest::LogTexts();
    EXPECT_TRUE(proxytest::Contains(log, c.action)) << c.action;
    EXPECT_EQ(proxytest::Contains(log, "DBG: Proxy username/password set"), c.credentialsNoted);
    if (!c.password.empty()) {
      for (const std::string& line : log) EXPECT_EQ(line.find(c.password), std::string::npos);
    }
  }
}

TEST(ApplyProxy, AMissingControlMarksTheEngineAndOtherErrorsEndIt) {
  struct Case {
    const char* name;
    Variant type;
    bool withControl;
    std::string action;
    bool missing;
  } cases[] = {
      {"no control", Variant(2), false,
       "Component not correctly registered or a file is missing (339) in ApplyProxy of module "
       "fSHAREDInternet",
       true},
      {"a type the control refuses", Variant(7), true, "(380) in ApplyProxy of module fSHAREDInternet",
       false},
      {"a type beyond 16 bits", Variant(70000), true,
       "Overflow (6) in ApplyProxy of module fSHAREDInternet", false},
      {"a type that is no number", Variant("abc"), true,
       "Type mismatch (13) in ApplyProxy of module fSHAREDInternet", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    proxytest::FreshSettingsAndLog();
    twi::TheSettings().sSet("ProxyType", c.type);
    twi::inet::InetControl control;
    control.SetAccessType(1);
    bool missing = false;
    twi::ApplyStoredProxy(c.withControl ? &control : nullptr, missing);
    EXPECT_EQ(missing, c.missing);
    EXPECT_EQ(control.AccessType(), 1);  // unchanged: the error ended ApplyProxy
    bool found = false;
    for (const std::string& line : proxytest::LogTexts()) {
      EXPECT_EQ(line.find("Proxy set to:"), std::string::npos);
      if (line.size() >= c.action.size() &&
          line.compare(line.size() - c.action.size(), c.action.size(), c.action) == 0)
        found = true;
    }
    EXPECT_TRUE(found) << c.action;
  }
}

TEST(ApplyProxy, TheEngineAndTheClientApplyTheStoredChoice) {
  proxytest::FreshSettingsAndLog();
  twi::TheSettings().sSet("ProxyType", 2);
  twi::TheSettings().sSet("ProxyServer", "127.0.0.1");
  twi::TheSettings().sSet("ProxyPort", "3128");
  twi::TheSettings().sSet("ProxyUser", "u");
  twi::TheSettings().sSet("ProxyPwd", twi::Encrypt("pw"));
  twi::cSHAREDInternet client;
  twi::fSHAREDInternet& engine = *client.Engine();
  EXPECT_EQ(engine.ProxyUser(), "u");
  EXPECT_EQ(engine.ProxyPassword(), "pw");
  client.ApplyProxy();
  ASSERT_NE(engine.Control(), nullptr);
  EXPECT_EQ(engine.Control()->AccessType(), 2);
  EXPECT_EQ(engine.Control()->Proxy(), "127.0.0.1:3128");
  EXPECT_EQ(engine.Control()->UserName(), "u");
  EXPECT_EQ(engine.Control()->Password(), "pw");
  EXPECT_FALSE(engine.ControlMissing);
}

}  // namespace
