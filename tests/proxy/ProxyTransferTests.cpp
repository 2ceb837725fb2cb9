// Transfers through a real proxy: tinyproxy on 127.0.0.1 asking for a user
// and password (tests/server/start-proxy), serving the fixture HTTP server's
// files. The stored choice applies to every transfer of every client, the
// main window's included; the password never reaches the log or a report.
#include <gtest/gtest.h>

#include <map>

#include "app/frmMain.h"
#include "base/AppInfo.h"
#include "base/TextConv.h"
#include "net/PasswordScrambler.h"
#include "net/cSHAREDInternet.h"
#include "net/fSHAREDProxy.h"
#include "proxy/ProxyTestSupport.h"
#include "report/cSHAREDShowError.h"
#include "report/fSHAREDErrorRpt.h"
#include "support/MainWindowDriver.h"
#include "support/ModalForms.h"
#include "support/TestServers.h"

namespace {

const std::string kVersionText = "3.1.4\r\nhttp://example.test/callclk.exe\r\n";
constexpr size_t kPackageSize = 50000;

class ThroughTheProxy : public ::testing::Test {
 protected:
  void SetUp() override {
    proxytest::FreshSettingsAndLog();
    for (const char* folder : {"\\versions", "\\packages"})
      CreateDirectoryW(twi::ToWide(twitest::HttpRoot() + folder).c_str(), nullptr);
    twitest::WriteFileBytes(twitest::HttpRoot() + "\\versions\\CALLCLK_current.txt", kVersionText);
    twitest::WriteFileBytes(twitest::HttpRoot() + "\\packages\\callclk.bin",
                            twitest::PatternBytes(kPackageSize));
    download = dir.File("callclk.bin");
    for (const std::string& url :
         {VersionUrl(), PackageUrl(), twitest::HttpUrl("/files/") + "versions/CALLCLK_current.txt"})
      requestsBefore[url] = AllProxyRequestsFor(url);
  }
  void TearDown() override { DeleteFileW(twi::ToWide(SettingsFile()).c_str()); }

  static std::string ProxyPort() { return std::to_string(twitest::ServerPort("PROXY")); }
  static std::string VersionUrl() { return twitest::HttpUrl("/files/versions/CALLCLK_current.txt"); }
  static std::string PackageUrl() { return twitest::HttpUrl("/files/packages/callclk.bin"); }
  static std::string SettingsFile() { return twi::AppFolder() + "\\TWInstaller.ini"; }
  static void StoreManual(const std::string& password) {
    twi::cSHAREDSettings& s = twi::TheSettings();
    s.sSet("ProxyType", 2);
    s.sSet("ProxyServer", "127.0.0.1");
    s.sSet("ProxyPort", ProxyPort());
    s.sSet("ProxyUser", proxytest::kProxyUser);
    s.sSet("ProxyPwd", twi::Encrypt(password));
  }
  // How many requests for `url` tinyproxy has logged since the test started.
  int ProxyRequestsFor(const std::string& url) const {
    auto before = requestsBefore.find(url);
    return AllProxyRequestsFor(url) - (before == requestsBefore.end() ? 0 : before->second);
  }
  static int AllProxyRequestsFor(const std::string& url) {
    std::string log = twitest::ReadFileBytes(twitest::ServerFile("tinyproxy.log"));
    std::string request = "GET " + url + " HTTP/1.1";
    int n = 0;
    for (size_t at = log.find(request); at != std::string::npos; at = log.find(request, at + 1)) ++n;
    return n;
  }
  // Neither the password nor its stored form is anywhere in `text`.
  static void ExpectNoPassword(const std::string& text, const char* where) {
    const std::string scrambled = twi::Encrypt(proxytest::kProxyPassword);
    EXPECT_EQ(text.find(proxytest::kProxyPassword), std::string::npos) << where;
    EXPECT_EQ(text.find(scrambled), std::string::npos) << where;
    EXPECT_EQ(text.find(twi::Utf8ToAnsi(scrambled)), std::string::npos) << where;
  }

  twitest::ScratchFolder dir;
  std::string download;
  std::map<std::string, int> requestsBefore;
};

TEST_F(ThroughTheProxy, TheRightPasswordBringsVersionFileAndPackage) {
  StoreManual(proxytest::kProxyPassword);
  twi::cSHAREDInternet client;
  EXPECT_EQ(client.OpenURL(VersionUrl()), kVersionText);
  EXPECT_TRUE(client.GetFile(PackageUrl(), download));
  EXPECT_TRUE(twitest::ReadFileBytes(download) == twitest::PatternBytes(kPackageSize));
  EXPECT_EQ(client.ExpectedFilesize(), static_cast<long>(kPackageSize));
  EXPECT_EQ(ProxyRequestsFor(VersionUrl()), 1);
  EXPECT_GE(ProxyRequestsFor(PackageUrl()), 1);
  std::vector<std::string> log = proxytest::LogTexts();
  EXPECT_TRUE(proxytest::Contains(log, "Proxy set to: 2 127.0.0.1:" + ProxyPort()));
  EXPECT_TRUE(proxytest::Contains(log, "DBG: Proxy username/password set"));
  ExpectNoPassword(twitest::ReadFileBytes(twi::TheLog().CurrentLogFilename()), "log");
}

// A proxy that refuses the user name or password (tinyproxy answers a wrong password
// with 401, a missing one with 407), or that is not there: "Determine latest version"
// says so once, in a sentence of its own, and a package download fails with the same
// reason, instead of the refusal page read as a version or a package.
TEST_F(ThroughTheProxy, AProxyThatRefusesOrIsNotThereIsSaidOnce) {
  const std::string mainServer = twitest::HttpUrl("/files/");
  struct Case {
    const char* name;
    std::string port, user, password;
    twi::ProxyTrouble trouble;
    std::string box;
  } cases[] = {
      {"wrong password", ProxyPort(), "twi", "wrong-password", twi::ProxyTrouble::Refused,
       "The proxy server 127.0.0.1:" + ProxyPort() +
           " refused the user name or password. Please check them in Proxy Settings."},
      {"no user name", ProxyPort(), "", "", twi::ProxyTrouble::Refused,
       "The proxy server 127.0.0.1:" + ProxyPort() +
           " refused the user name or password. Please check them in Proxy Settings."},
      {"nobody listens", "9", "twi", proxytest::kProxyPassword, twi::ProxyTrouble::Unreachable,
       "The proxy server 127.0.0.1:9 could not be reached or did not answer. Please check "
       "Proxy Settings."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // The choice comes from the settings file, as at a start of the program.
    twitest::WriteFileBytes(SettingsFile(),
                            "MAINSERVER," + mainServer + "\r\nPROXYTYPE, 2 \r\nPROXYSERVER,127.0.0.1\r\n"
                            "PROXYPORT," + c.port + "\r\nPROXYUSER," + c.user + "\r\nPROXYPWD," +
                            twi::Utf8ToAnsi(twi::Encrypt(c.password)) + "\r\n");
    twitest::MsgBoxRecorder boxes;
    twi::frmMain window;
    twitest::StartMainWindow(window);
    ASSERT_TRUE(twitest::SelectProgram(window, "Callclock"));
    SendMessageW(window.cmdShowLatest.hwnd(), BM_CLICK, 0, 0);
    ASSERT_EQ(boxes.Calls().size(), 1u);
    EXPECT_EQ(boxes.Calls()[0].prompt, c.box);
    EXPECT_FALSE(window.DownloadClient().GetFile(PackageUrl(), download));
    EXPECT_FALSE(twitest::PathExists(download));
    EXPECT_EQ(window.DownloadClient().LastProxyTrouble(), c.trouble);
    window.Unload();
  }
}

TEST_F(ThroughTheProxy, NoProxyGoesDirect) {
  StoreManual(proxytest::kProxyPassword);
  twi::TheSettings().sSet("ProxyType", 1);
  twi::cSHAREDInternet client;
  EXPECT_EQ(client.OpenURL(VersionUrl()), kVersionText);
  EXPECT_TRUE(client.GetFile(PackageUrl(), download));
  EXPECT_TRUE(twitest::ReadFileBytes(download) == twitest::PatternBytes(kPackageSize));
  EXPECT_EQ(ProxyRequestsFor(VersionUrl()), 0);
  EXPECT_EQ(ProxyRequestsFor(PackageUrl()), 0);
  EXPECT_TRUE(proxytest::Contains(proxytest::LogTexts(), "Proxy set to: 1 "));
}

// As a user does it: "Proxy Settings" in the main window, then "Determine latest
// version" and a package download through the proxy, the exit that saves the
// settings, and the next start that reads them back.
TEST_F(ThroughTheProxy, TheMainWindowsChoiceIsStoredAppliedAndReadBack) {
  const std::string mainServer = twitest::HttpUrl("/files/");
  twitest::WriteFileBytes(SettingsFile(), "MAINSERVER," + mainServer + "\r\n");
  twitest::MsgBoxRecorder boxes;
  {
    twi::frmMain window;
    twitest::StartMainWindow(window);
    twitest::WhenShown<twi::fSHAREDProxy> act([&](twi::fSHAREDProxy& d) {
      SendMessageW(d.optNamed.hwnd(), BM_CLICK, 0, 0);
      d.txtServer.SetText("127.0.0.1");
      d.txtPort.SetText(ProxyPort());
      d.txtUser.SetText(proxytest::kProxyUser);
      d.txtPassword.SetText(proxytest::kProxyPassword);
      d.txtPassword2.SetText(proxytest::kProxyPassword);
      SendMessageW(d.cmdOK.hwnd(), BM_CLICK, 0, 0);
    });
    SendMessageW(window.cmdProxy.hwnd(), BM_CLICK, 0, 0);
    ASSERT_TRUE(act.Done());

    ASSERT_TRUE(twitest::SelectProgram(window, "Callclock"));
    SendMessageW(window.cmdShowLatest.hwnd(), BM_CLICK, 0, 0);
    ASSERT_EQ(boxes.Calls().size(), 1u);
    EXPECT_EQ(boxes.Calls()[0].prompt, "Latest version of CallClock is " + kVersionText);
    EXPECT_EQ(ProxyRequestsFor(mainServer + "versions/CALLCLK_current.txt"), 1);
    EXPECT_TRUE(window.DownloadClient().GetFile(PackageUrl(), download));
    EXPECT_TRUE(twitest::ReadFileBytes(download) == twitest::PatternBytes(kPackageSize));
    EXPECT_GE(ProxyRequestsFor(PackageUrl()), 1);
    window.ExitProgram();
  }
  std::string saved = twitest::ReadFileBytes(SettingsFile());
  EXPECT_EQ(saved, "MAINSERVER," + mainServer + "\r\nPROXYSERVER,127.0.0.1\r\nPROXYPORT," +
                       ProxyPort() + "\r\nPROXYUSER,twi\r\nPROXYPWD," +
                       twi::Utf8ToAnsi(twi::Encrypt(proxytest::kProxyPassword)) +
                       "\r\nPROXYTYPE, 2 \r\n");
  ExpectNoPassword(saved.substr(0, saved.find("PROXYPWD,")), "settings file before the password");

  // The next start reads the file back and goes through the proxy again.
  {
    twi::frmMain window;
    twitest::StartMainWindow(window);
    EXPECT_EQ(twi::TheSettings().sGet("ProxyType").AsText(), " 2 ");
    ASSERT_TRUE(twitest::SelectProgram(window, "Callclock"));
    SendMessageW(window.cmdShowLatest.hwnd(), BM_CLICK, 0, 0);
    ASSERT_EQ(boxes.Calls().size(), 2u);
    EXPECT_EQ(boxes.Calls()[1].prompt, "Latest version of CallClock is " + kVersionText);
    EXPECT_EQ(ProxyRequestsFor(mainServer + "versions/CALLCLK_current.txt"), 2);
    window.Unload();
  }

  // The password is nowhere in the log, the report or the mail link, even for
  // an error about the password's own line.
  twi::TheLog().WriteActionsToLog();  // the report shows the file only
  ExpectNoPassword(twitest::ReadFileBytes(twi::TheLog().CurrentLogFilename()), "log");
  twi::ErrorReport report;
  twitest::WhenShown<twi::fSHAREDErrorRpt> read([&](twi::fSHAREDErrorRpt& w) {
    report = w.Report();
    w.cmdExit.Click();
  });
  twi::TheShowError().ShowErr(twi::cSHAREDSettings::LineErrorText(
      5, "PROXYPWD," + twi::Encrypt(proxytest::kProxyPassword), SettingsFile()));
  ASSERT_TRUE(read.Done());
  EXPECT_NE(report.logText.find("Proxy set to: 2 127.0.0.1:"), std::string::npos);
  ExpectNoPassword(report.errorText, "error text");
  ExpectNoPassword(twi::MailLink(report), "mail link");
  ExpectNoPassword(twi::FullReportText(report), "full report");
}

}  // namespace
