// Installs through a proxy (tinyproxy asking for a user and password) that refuses
// the user name or password, or that nobody answers for: the reason is said once, in
// one box, and no step after the download runs (no unpacking, copying, running).
#include "support/InstallerFixture.h"
#include "net/PasswordScrambler.h"
#include "proxy/ProxyTestSupport.h"
#include "settings/cSHAREDSettings.h"
#include "support/TestServers.h"

namespace {

class ThroughAFailingProxy : public InstallerTest {
 protected:
  void TearDown() override { twi::TheSettings().sSet("ProxyType", 1); }
  static void StoreProxy(const std::string& port, const std::string& password) {
    twi::cSHAREDSettings& s = twi::TheSettings();
    s.sSet("ProxyType", 2);
    s.sSet("ProxyServer", "127.0.0.1");
    s.sSet("ProxyPort", port);
    s.sSet("ProxyUser", proxytest::kProxyUser);
    s.sSet("ProxyPwd", twi::Encrypt(password));
  }
  // The boxes shown since the first `from` of them.
  std::vector<std::string> PromptsSince(size_t from) const {
    std::vector<std::string> all = Prompts();
    return std::vector<std::string>(all.begin() + static_cast<long>(std::min(from, all.size())),
                                    all.end());
  }
};

TEST_F(ThroughAFailingProxy, TheReasonIsSaidOnceAndNothingAfterTheDownloadRuns) {
  twitest::Registered inet("msinet.ocx");  // row 0 passes: row 2 downloads its package
  const std::string port = std::to_string(twitest::ServerPort("PROXY"));
  struct Case {
    const char* name;
    std::string port, password, box;
  } cases[] = {
      {"wrong password", port, "wrong-password",
       "The proxy server 127.0.0.1:" + port +
           " refused the user name or password. Please check them in Proxy Settings."},
      {"nobody listens", "9", proxytest::kProxyPassword,
       "The proxy server 127.0.0.1:9 could not be reached or did not answer. Please check "
       "Proxy Settings."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Select("qNovel4");
    ClickScan();  // the scan's rows (a program install clears them)
    ASSERT_TRUE(Failed(2));
    ASSERT_EQ(window.cmdInstall[2].Tag, "MSCOMCTL");
    StoreProxy(c.port, c.password);
    size_t before = boxes.Calls().size();
    ClickInstall(2);
    EXPECT_EQ(PromptsSince(before), std::vector<std::string>{c.box}) << LogDump();
    EXPECT_NE(window.Status().find(c.box), std::string::npos) << window.Status();
    EXPECT_FALSE(Logged("Unpacked ")) << LogDump();
    EXPECT_FALSE(twitest::PathExists(ProgramFile("MSCOMCTL.zip")));
    EXPECT_FALSE(twitest::PathExists(ProgramFile("MsComCtl.ocx")));
    EXPECT_FALSE(twitest::PathExists(twitest::SystemFolder() + "MsComCtl.ocx"));
    EXPECT_TRUE(Failed(2));
    EXPECT_TRUE(window.cmdInstall[2].Enabled());  // the window is idle again

    // "Download and Install Program": the version file comes through the same proxy.
    before = boxes.Calls().size();
    twitest::ClickButton(window.cmdInstallProg);
    EXPECT_EQ(PromptsSince(before), std::vector<std::string>{c.box});
    EXPECT_EQ(window.Status(), "Could not retrieve program info");
    EXPECT_FALSE(Logged("Running Installer"));
  }
}

}  // namespace
