// Replacing a file by its complete new version, as the settings save and the
// file copy do. The suite runs twice, with Wine posing as Windows XP and as
// Windows 98. Windows 95, 98 and Me have no MoveFileExW; Wine does, so these
// tests take it away the way those systems do (the call fails with
// ERROR_CALL_NOT_IMPLEMENTED) and count the calls: the NT family replaces with
// MoveFileExW, the 9x family deletes the old file and renames the new one, and
// the way is chosen from the platform, not from a failing call.
#include <gtest/gtest.h>

#include "base/TextConv.h"
#include "base/cSharedOSInfo.h"
#include "settings/cSHAREDSettings.h"
#include "support/ImportHook.h"
#include "support/TestSupport.h"
#include "sys/cSharedFileSubs.h"

namespace {

int moveFileExCalls = 0;
void* originalMoveFileEx = nullptr;

BOOL WINAPI MoveFileExAsThisWindowsHasIt(LPCWSTR from, LPCWSTR to, DWORD flags) {
  ++moveFileExCalls;
  if (twi::TheOSInfo().IsWindows95()) {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
  }
  return reinterpret_cast<decltype(&MoveFileExW)>(originalMoveFileEx)(from, to, flags);
}

bool NineX() { return twitest::EnvVar("TWI_WINVER") == "win98"; }

class Replace : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(hook.Installed()) << "the program does not import MoveFileExW";
    originalMoveFileEx = hook.Original();
    moveFileExCalls = 0;
  }
  // MoveFileExW calls expected for `replacements` replaced files.
  static int ExpectedCalls(int replacements) { return NineX() ? 0 : replacements; }
  int FilesIn() const {
    int n = 0;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(twi::ToWide(dir.File("*")).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do {
      if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++n;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return n;
  }

  twitest::ImportHook hook{"kernel32.dll", "MoveFileExW",
                           reinterpret_cast<void*>(&MoveFileExAsThisWindowsHasIt)};
  twitest::ScratchFolder dir;
};

TEST_F(Replace, WineShowsTheWindowsOfThisRun) {
  EXPECT_EQ(twi::TheOSInfo().fOSName(), NineX() ? "Win98" : "WinXP");
  EXPECT_EQ(twi::TheOSInfo().GetWinPlatform(), NineX() ? 1 : 2);
}

TEST_F(Replace, SettingsSaveReplacesTheOldFile) {
  std::string file = dir.File("TWInstaller.ini");
  twitest::WriteFileBytes(file, "OLD,1\r\n");
  twi::cSHAREDSettings store;
  store.sSet("ProxyServer", "myproxy");
  store.sSet("ProxyType", 2);
  twitest::MsgBoxRecorder boxes;
  EXPECT_TRUE(store.SaveSettings(file));
  EXPECT_TRUE(boxes.Calls().empty());
  EXPECT_EQ(twitest::ReadFileBytes(file), "PROXYSERVER,myproxy\r\nPROXYTYPE, 2 \r\n");
  EXPECT_EQ(FilesIn(), 1);  // no temporary file left
  EXPECT_EQ(moveFileExCalls, ExpectedCalls(1));
  // A second save replaces the file it wrote.
  store.sSet("ProxyType", 0);
  EXPECT_TRUE(store.SaveSettings(file));
  EXPECT_EQ(twitest::ReadFileBytes(file), "PROXYSERVER,myproxy\r\nPROXYTYPE, 0 \r\n");
  EXPECT_EQ(moveFileExCalls, ExpectedCalls(2));
}

TEST_F(Replace, CopyReplacesTheOldFileAndCarriesItsDate) {
  twi::cSharedFileSubs files;
  struct Case {
    const char* name;
    bool readOnlyTarget;
  } cases[] = {{"plain target", false}, {"read-only target", true}};
  int replaced = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string source = dir.File("new.ocx"), target = dir.File("control.ocx");
    twitest::WriteFileBytes(source, std::string(600000, 'n'));  // more than two blocks
    twitest::WriteFileBytes(target, "old control");
    if (c.readOnlyTarget)
      SetFileAttributesW(twi::ToWide(target).c_str(), FILE_ATTRIBUTE_READONLY);
    twi::Date stamp = twi::Date::FromParts(2003, 5, 6, 7, 8, 9);
    ASSERT_TRUE(files.SetFileDateTime(source, stamp));
    EXPECT_EQ(files.CopyFileWithRetCode(source, target), 0);
    EXPECT_TRUE(twitest::ReadFileBytes(target) == std::string(600000, 'n'));
    EXPECT_EQ(files.FileDate(target), stamp);
    EXPECT_EQ(FilesIn(), 2);
    EXPECT_EQ(moveFileExCalls, ExpectedCalls(++replaced));
  }
}

TEST_F(Replace, CopyOntoATargetInUseIs70AndKeepsTheOldFile) {
  twi::cSharedFileSubs files;
  std::string source = dir.File("new.ocx"), target = dir.File("control.ocx");
  twitest::WriteFileBytes(source, "new control");
  twitest::WriteFileBytes(target, "old control");
  HANDLE held = CreateFileW(twi::ToWide(target).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(files.CopyFileWithRetCode(source, target), 70);
  CloseHandle(held);
  EXPECT_EQ(twitest::ReadFileBytes(target), "old control");
  EXPECT_EQ(FilesIn(), 2);
}

}  // namespace
