// DownloadFile's checks of what arrived, against the fixture HTTP server: a
// server error page (any letter case), a body cut short by the server, an empty
// body, a short file that is no page, a transfer that leaves nothing, and
// "Stop Current Download" in the middle of a transfer.
#include <windows.h>

#include "support/InstallerFixture.h"
#include "base/Trap.h"
#include "install/DownloadFile.h"
#include "net/ServerAddresses.h"
#include "support/TestServers.h"

namespace {

using twi::install::DownloadFile;

TEST_F(InstallerTest, WhatArrivedIsCheckedAndABadFileErased) {
  std::string page = "<html><head><title>404</title></head><body>gone</body></html>";
  page.resize(2000, ' ');
  twitest::WriteFileBytes(twitest::ServedFile("page.zip"), page);
  twitest::WriteFileBytes(twitest::ServedFile("small.zip"), std::string(300, 'P'));
  twitest::WriteFileBytes(twitest::ServedFile("empty.zip"), "");
  struct Case {
    const char* name;
    std::string url;
    std::string status;
    bool stays;
    bool serverErrorBox;
  };
  const Case cases[] = {
      {"error page in lower case", twitest::ServedUrl("page.zip"), twi::install::kDownloadFailed,
       false, true},
      // An empty body arrives as an empty file: a failed download, erased.
      {"empty body", twitest::ServedUrl("empty.zip"), twi::install::kDownloadFailed, false,
       false},
      // A short file without the marker stays; the status still says it failed.
      {"short file that is no page", twitest::ServedUrl("small.zip"),
       twi::install::kDownloadFailed, true, false},
  };
  for (const Case& c : cases) {
    size_t boxesBefore = boxes.Calls().size();
    EXPECT_EQ(DownloadFile(window, twi::AppFolder() + "\\", "pkg.zip", c.url, ""), c.stays)
        << c.name;
    EXPECT_EQ(window.Status(), c.status) << c.name;
    EXPECT_EQ(twitest::PathExists(ProgramFile("pkg.zip")), c.stays) << c.name;
    EXPECT_TRUE(log.Contains("Trying to download " + c.url)) << c.name;
    std::vector<std::string> prompts = Prompts();
    prompts.erase(prompts.begin(), prompts.begin() + static_cast<long>(boxesBefore));
    if (c.serverErrorBox) {
      EXPECT_EQ(prompts, (std::vector<std::string>{
                             "File not found on server. Try again later, or update your copy of "
                             "the Tarnwick Installer from " +
                             twi::MakerWebSite()}))
          << c.name;
    } else {
      EXPECT_TRUE(prompts.empty()) << c.name;
    }
    EXPECT_FALSE(window.cInternet) << c.name;  // released after each file
    DeleteFileW(twi::ToWide(ProgramFile("pkg.zip")).c_str());
  }
}

// No server: the transfer ends without a file, which is raised to the installer
// with the error's text.
TEST_F(InstallerTest, ATransferThatLeavesNoFileIsRaisedWithItsText) {
  std::string url = "http://127.0.0.1:9/runtimes/pkg.zip";
  twi::RuntimeError error = twitest::ErrorOf(
      [&] { DownloadFile(window, twi::AppFolder() + "\\", "pkg.zip", url, ""); });
  EXPECT_EQ(error.Number(), 53);
  EXPECT_EQ(error.Description(), "Error while downloading: File not found");
  EXPECT_EQ(window.Status(), "DownloadFile: " + url + " - File not found");
  EXPECT_FALSE(twitest::PathExists(ProgramFile("pkg.zip")));
  EXPECT_TRUE(Prompts().empty());
}

// A server that closes after 400000 of the 500000 bytes it announced. Whether
// the transfer layer sees the early close as a failed transfer (no file: raised)
// or as the end of the body (the size check: "File didn't download properly")
// depends on when the close arrives; either way the user is told and no file stays.
TEST_F(InstallerTest, ABodyCutShortLeavesNoFile) {
  std::string url = twitest::HttpUrl("/short/500000/400000");
  for (int attempt = 0; attempt < 3; ++attempt) {
    std::optional<twi::RuntimeError> error = twi::Trapping(
        [&] { DownloadFile(window, twi::AppFolder() + "\\", "pkg.zip", url, ""); });
    if (error) {
      EXPECT_EQ(error->Description(), "Error while downloading: File not found");
    } else {
      EXPECT_EQ(window.Status(), twi::install::kShortDownload);
    }
    EXPECT_FALSE(twitest::PathExists(ProgramFile("pkg.zip")));
  }
  EXPECT_TRUE(Prompts().empty());
}

// "Stop Current Download" is there only while the file downloads, and stops it.
TEST_F(InstallerTest, StopShowsDuringTheTransferAndCancelsIt) {
  EXPECT_FALSE(window.cmdStop.Visible());
  bool stopSeen = false;
  window.lblStatus.OnChange = [&] {
    twi::TheLog().LogEvent(window.lblStatus.Caption(), false);
    if (!stopSeen && window.cmdStop.Visible() && window.cmdStop.Enabled()) {
      stopSeen = true;
      PostMessageW(window.cmdStop.hwnd(), BM_CLICK, 0, 0);
    }
  };
  auto start = std::chrono::steady_clock::now();
  twi::RuntimeError error = twitest::ErrorOf([&] {
    DownloadFile(window, twi::AppFolder() + "\\", "slow.zip",
                 twitest::HttpUrl("/slow/3000000/100000"), "");  // 30 s if not stopped
  });
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_TRUE(stopSeen);
  EXPECT_LT(seconds, 15.0);
  EXPECT_EQ(error.Description(), "Error while downloading: File not found");
  EXPECT_FALSE(window.cmdStop.Visible());
  EXPECT_FALSE(twitest::PathExists(ProgramFile("slow.zip")));
}

}  // namespace
