// Opening an address with the user's program for it: the shell gets the address,
// the folder "c:\" and the normal show state, and the pointer is normal after.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include <chrono>

#include "base/TextConv.h"
#include "support/TestSupport.h"
#include "sys/cSharedWWW.h"
#include "ui/MousePointer.h"

namespace {

// A URL scheme of our own whose "open" runs the probe, which writes down how
// it was started.
class RecordingScheme {
 public:
  RecordingScheme(const std::wstring& scheme, const std::string& recordFile)
      : key_(scheme) {
    std::wstring command = L"\"" + twi::ToWide(twitest::ProbeExe()) + L"\" record \"" +
                           twi::ToWide(recordFile) + L"\" \"%1\"";
    Set(key_, L"", L"URL:test scheme");
    Set(key_, L"URL Protocol", L"");
    Set(key_ + L"\\shell\\open\\command", L"", command);
  }
  ~RecordingScheme() { SHDeleteKeyW(HKEY_CLASSES_ROOT, key_.c_str()); }

 private:
  static void Set(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    SHSetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, REG_SZ, value.c_str(),
                static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  }
  std::wstring key_;
};

TEST(WebSiteVisit, TheShellOpensTheAddressFromCWithTheNormalShowState) {
  twitest::ScratchFolder dir;
  std::string record = dir.File("record.txt");
  RecordingScheme scheme(L"twitest-open", record);
  ui::SetScreenMousePointer(ui::vbHourglass);
  twi::WebSiteVisit(nullptr, "twitest-open:hello/page?x=1");
  EXPECT_EQ(ui::ScreenMousePointer(), ui::vbDefault);
  ASSERT_TRUE(twitest::PumpUntil([&] { return twitest::PathExists(record); },
                                 std::chrono::seconds(20)));
  twitest::PumpFor(std::chrono::milliseconds(300));  // the probe finishes writing
  std::string text = twitest::ReadFileBytes(record);
  EXPECT_EQ(twi::UpperAscii(text.substr(0, text.find('\n'))), "FOLDER=C:\\");
  EXPECT_NE(text.find("\nshow=1\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\narg=twitest-open:hello/page?x=1\n"), std::string::npos) << text;
}

}  // namespace
