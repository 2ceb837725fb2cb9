// The install center's own update, signed: its version file's signature and the
// update package's sha256 line decide whether the package is ever handed over.
#include <gtest/gtest.h>

#include <functional>

#include "base/AppInfo.h"
#include "base/TextConv.h"
#include "settings/cSHAREDSettings.h"
#include "support/LogCapture.h"
#include "support/MakerSigner.h"
#include "support/TestServers.h"
#include "support/TestSupport.h"
#include "update/fSHAREDUpdater.h"

namespace {

TEST(SignedUpdate, OnlyThePackageTheSignedVersionFileNamesIsKept) {
  const std::string versionFile = twitest::HttpRoot() + "\\versions\\TWI_current.txt";
  const std::string package = twitest::HttpRoot() + "\\TWInstUpd130.exe";
  const std::string saved = twi::AppFolder() + "\\TWInstUpd.exe";
  const std::string address = twitest::HttpUrl("/files/TWInstUpd@@@.exe");
  CreateDirectoryW(twi::ToWide(twitest::HttpRoot() + "\\versions").c_str(), nullptr);
  const twitest::MakerSigner maker = twitest::MakerSigner::TestKey();
  auto flip = [](const std::string& path) {
    std::string bytes = twitest::ReadFileBytes(path);
    bytes[bytes.size() / 2] ^= 0x01;
    twitest::WriteFileBytes(path, bytes);
  };
  struct Case {
    const char* name;
    std::function<void()> tamper;
    bool newer, kept;
    std::string finalStatus;  // contained in the last status
  } cases[] = {
      {"as signed", [] {}, true, true, ""},
      {"package changed after signing", [&] { flip(package); }, true, false,
       "is not the file the maker signed"},
      {"version file changed after signing",
       [&] { twitest::WriteFileBytes(versionFile, twi::ReplaceAll(twitest::ReadFileBytes(versionFile),
                                                                  "1.3.0", "1.3.1")); },
       false, false, "did not verify"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    twi::TheSettings().DeleteAllSettings();
    twitest::WriteFileBytes(package, twitest::PatternBytes(40000));
    maker.WriteVersionFile(versionFile, "1.3.0", address, package);
    c.tamper();
    DeleteFileW(twi::ToWide(saved).c_str());
    twitest::LogCapture log;
    twi::fSHAREDUpdater updater;
    std::vector<std::string> statuses;
    updater.Status = [&](const std::string& text) { statuses.push_back(text); };
    updater.Load();
    const bool newer = updater.CheckForUpdate(
        false, twitest::HttpUrl("/files/versions/TWI_current.txt"), "", "TWInstUpd.exe");
    EXPECT_EQ(newer, c.newer);
    if (newer) {
      EXPECT_EQ(updater.DownloadFile(twi::AppFolder() + "\\", "TWInstUpd.exe", updater.ProgURL,
                                     false),
                c.kept);
    }
    EXPECT_EQ(twitest::PathExists(saved), c.kept);
    ASSERT_FALSE(statuses.empty());
    EXPECT_NE(statuses.back().find(c.finalStatus), std::string::npos) << statuses.back();
    if (c.kept) EXPECT_TRUE(log.Contains(saved + ": verified (SHA-256 " +
                                         twitest::Sha256HexOf(package) + ")"));
    updater.Unload();
  }
  DeleteFileW(twi::ToWide(saved).c_str());
}

}  // namespace
