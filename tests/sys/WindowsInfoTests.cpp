// Windows version, folders, processes and the program's own version, seen by a
// child program while Wine poses as Windows 98, XP and 7.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "base/Clock.h"
#include "base/RuntimeError.h"
#include "base/cSharedOSInfo.h"
#include "support/TestSupport.h"
#include "sys/ExecCmd.h"
#include "sys/SystemFolders.h"
#include "sys/cSHAREDSubs.h"

namespace {

std::map<std::string, std::string> ProbeAs(const std::string& version) {
  twitest::SetWineVersionFor("probe.exe", version);
  std::string output;
  long code = twitest::RunAndCapture("\"" + twitest::ProbeExe() + "\" osinfo", output);
  twitest::SetWineVersionFor("probe.exe", "");
  EXPECT_EQ(code, 0) << output;
  std::map<std::string, std::string> values;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t eq = line.find('=');
    if (eq != std::string::npos) values[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return values;
}

bool EndsInOneBackslash(const std::string& path) {
  return path.size() >= 2 && path.back() == '\\' && path[path.size() - 2] != '\\';
}

TEST(WindowsVersion, Windows98IsThe9xFamily) {
  auto v = ProbeAs("win98");
  EXPECT_EQ(v["fOSName"], "Win98");
  EXPECT_EQ(v["GetWinPlatform"], "1");
  EXPECT_EQ(v["IsWindows95"], "1");
  EXPECT_EQ(v["IsWindowsNT"], "0");
  EXPECT_EQ(v["IsXPorGreater"], "0");
  EXPECT_TRUE(EndsInOneBackslash(v["SystemFolder"])) << v["SystemFolder"];
  EXPECT_TRUE(EndsInOneBackslash(v["WindowsFolder"])) << v["WindowsFolder"];
}

TEST(WindowsVersion, XpAnd2000AndWindows7) {
  auto xp = ProbeAs("winxp");
  EXPECT_EQ(xp["fOSName"], "WinXP");
  EXPECT_EQ(xp["GetWinPlatform"], "2");
  EXPECT_EQ(xp["IsXPorGreater"], "1");
  EXPECT_EQ(xp["IsWindowsNT"], "1");
  EXPECT_EQ(xp["IsWindows95"], "0");
  auto w2k = ProbeAs("win2k");
  EXPECT_EQ(w2k["fOSName"], "Win2K");
  EXPECT_EQ(w2k["IsXPorGreater"], "0");
  auto win7 = ProbeAs("win7");  // version 6.1
  EXPECT_EQ(win7["fOSName"], "WINNT6+");
  EXPECT_EQ(win7["IsXPorGreater"], "1");
  EXPECT_TRUE(EndsInOneBackslash(win7["SystemFolder"]));
  EXPECT_EQ(win7["SystemFolder"], win7["WindowsFolder"] + "system32\\");
}

TEST(WindowsVersion, NameTableEdges) {
  using twi::cSharedOSInfo;
  EXPECT_EQ(cSharedOSInfo::OSNameFor(2, 7, 0), "");  // major 7 falls between the rows
  EXPECT_EQ(cSharedOSInfo::OSNameFor(2, 8, 0), "WINNT7+");
  EXPECT_EQ(cSharedOSInfo::OSNameFor(2, 10, 0), "WINNT7+");
  EXPECT_EQ(cSharedOSInfo::OSNameFor(2, 6, 0), "Vista/Svr2008");
  EXPECT_EQ(cSharedOSInfo::OSNameFor(2, 5, 2), "XP64/Svr2003");
  EXPECT_EQ(cSharedOSInfo::OSNameFor(2, 5, 3), "WINNT5+");
  EXPECT_EQ(cSharedOSInfo::OSNameFor(2, 4, 0), "WinNT");
  EXPECT_EQ(cSharedOSInfo::OSNameFor(1, 4, 90), "WinME");
  EXPECT_EQ(cSharedOSInfo::OSNameFor(1, 4, 3), "WIN32");
  EXPECT_EQ(cSharedOSInfo::OSNameFor(3, 5, 1), "");
}

TEST(WindowsFolders, TempAndShellFolders) {
  twi::cSharedGetSpecialFolder folders;
  std::string temp = folders.SystemTempFolder();
  EXPECT_EQ(temp.back(), '\\');
  EXPECT_EQ(GetFileAttributesW(std::wstring(temp.begin(), temp.end()).c_str()) &
                FILE_ATTRIBUTE_DIRECTORY,
            static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  std::string desktop = folders.GetSpecialFolder(nullptr, twi::cSharedGetSpecialFolder::DesktopFolder);
  EXPECT_FALSE(desktop.empty());
  EXPECT_EQ(desktop.back(), '\\');
  EXPECT_EQ(folders.GetSpecialFolder(nullptr, 0x7F), "");  // no such folder id
}

TEST(Processes, ExecCmdWaitsAndReturnsTheExitCode) {
  auto start = twi::ClockSeconds();
  EXPECT_EQ(twi::ExecCmd("\"" + twitest::ProbeExe() + "\" exit 7"), 7);
  EXPECT_EQ(twi::ExecCmd("cmd.exe /c exit 3"), 3);
  // A command that cannot start is not reported as anything the callers use.
  EXPECT_EQ(twi::ExecCmd("no_such_program_here.exe"), -1);
  EXPECT_LT(twi::ClockSeconds() - start, 20.0);
}

TEST(AppVersion, FromTheVersionResource) {
  EXPECT_EQ(twi::TheSubs().AppVersion(), "1.2.99");
  EXPECT_FALSE(twi::TheSubs().InIDE());
}

TEST(RuntimeErrors, Win32CodesMapToRunTimeErrors) {
  EXPECT_EQ(twi::RuntimeError::FromWin32(ERROR_FILE_NOT_FOUND).Number(), 53);
  EXPECT_EQ(twi::RuntimeError::FromWin32(ERROR_PATH_NOT_FOUND).Number(), 76);
  EXPECT_EQ(twi::RuntimeError::FromWin32(ERROR_SHARING_VIOLATION).Number(), 70);
  EXPECT_EQ(twi::RuntimeError::FromWin32(ERROR_ACCESS_DENIED).Number(), 70);
  EXPECT_EQ(twi::RuntimeError::FromWin32(ERROR_DISK_FULL).Number(), 61);
  EXPECT_EQ(twi::RuntimeError::FromWin32(ERROR_FILE_NOT_FOUND).Description(), "File not found");
  // Codes without a run-time equivalent keep the system's text.
  twi::RuntimeError other = twi::RuntimeError::FromWin32(ERROR_NOT_SUPPORTED);
  EXPECT_FALSE(other.Description().empty());
}

}  // namespace
