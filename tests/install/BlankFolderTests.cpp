// Run from a program folder with a blank in its path ("...\Tarn wick\"), with a program
// planted where Windows would look first for a start whose path is not quoted
// ("...\Tarn.exe"), and one named regsvr32.exe in the program folder, where packages
// are unpacked and where a bare program name is looked for first. The speech installers
// and regsvr32 must run as themselves, and the planted programs never.
#include "support/InstallerFixture.h"
#include "install/RuntimeInstaller.h"
#include "install/RuntimeScan.h"

namespace {

class InstallFromAFolderWithABlank : public InstallerTest {};

TEST_F(InstallFromAFolderWithABlank, RunsTheInstallersAndRegsvr32AndNothingPlanted) {
  const std::string folder = twi::AppFolder();
  const std::size_t blank = folder.find(' ');
  ASSERT_NE(blank, std::string::npos) << folder << " has no blank: run it from such a folder";
  const std::vector<std::string> planted = {folder.substr(0, blank) + ".exe",
                                            ProgramFile("regsvr32.exe")};
  for (const std::string& path : planted) {
    ASSERT_TRUE(CopyFileW(twi::ToWide(twitest::ProbeExe()).c_str(), twi::ToWide(path).c_str(), FALSE))
        << path;
    DeleteFileW(twi::ToWide(path + ".starts").c_str());
  }
  twitest::Journal journal;
  twitest::Registered inet("msinet.ocx");
  // Each speech installer and a control that regsvr32 registers.
  for (const char* key : {"SPEECH1", "SPEECH2", "MSCOMCT2"}) {
    EXPECT_TRUE(window.Installer.InstallComponent(key)) << key;
    EXPECT_TRUE(window.Scan.TestComponent(key)) << key << "\n" << LogDump();
  }
  std::vector<std::string> runs;
  for (std::string line : journal.Lines())
    if (line.rfind("run ", 0) == 0) runs.push_back(line.substr(0, line.find_last_not_of('\r') + 1));
  EXPECT_EQ(runs, (std::vector<std::string>{"run spchapi.EXE /Q", "run msttsL.EXE /Q", "run setup.EXE"}));
  for (const std::string& path : planted) {
    EXPECT_FALSE(twitest::PathExists(path + ".starts"))
        << path << " was started:\n" << twitest::ReadFileBytes(path + ".starts");
    DeleteFileW(twi::ToWide(path).c_str());
  }
}

}  // namespace
