// A rich-text file held open by another program is replaced at the next start
// of Windows: as Windows 98 through wininit.ini's [rename] section, as XP
// through the system's delayed move beside the record line. A real simulated
// reboot (wineboot -r) then carries it out. These run only as those Windows
// (the install_xp and install_98 runs).
#include "support/InstallerFixture.h"
#include "base/cSharedOSInfo.h"
#include "install/ReplaceAtReboot.h"
#include "install/RuntimeInstaller.h"
#include "support/FailingWrites.h"

namespace {

// Old files (other stand-ins under the rich-text names) in the system folder,
// each held open by another process while the installer runs.
class HeldRichText {
 public:
  HeldRichText() {
    for (const char* name : {"Riched32.dll", "Richtx32.ocx"}) {
      std::string target = twitest::SystemFolder() + name;
      CopyFileW(twi::ToWide(twitest::StandInPath("TabCtl32.ocx")).c_str(),
                twi::ToWide(target).c_str(), FALSE);
      holders_.push_back(std::make_unique<twitest::HeldOpen>(target));
    }
  }
  bool Holding() const {
    return holders_[0]->Holding() && holders_[1]->Holding();
  }
  void Release() {
    for (auto& holder : holders_) holder->Release();
  }

 private:
  std::vector<std::unique_ptr<twitest::HeldOpen>> holders_;
};

std::string Upper(const std::string& text) { return twi::UpperAscii(text); }

// What both runs check after the installer: the new files after the reboot, no
// temporary file left, the reminder at exit.
void ExpectReplacedAfterReboot(InstallerTest& test, twi::frmMain& window,
                               twitest::MsgBoxRecorder& boxes, HeldRichText& held) {
  std::string system = twitest::SystemFolder();
  // Until the reboot the old files stay.
  EXPECT_EQ(twitest::ReadFileBytes(system + "Richtx32.ocx"),
            twitest::ReadFileBytes(twitest::StandInPath("TabCtl32.ocx")));
  EXPECT_TRUE(window.RebootNeeded);
  for (const std::string& line :
       twitest::SplitLines(twitest::ReadFileBytes(twitest::WindowsFolder() + "wininit.ini")))
    std::printf("[ wininit  ] %s\n", line.c_str());
  held.Release();
  EXPECT_EQ(twitest::SimulateReboot(), 0);
  for (const char* name : {"Riched32.dll", "Richtx32.ocx"}) {
    EXPECT_EQ(twitest::ReadFileBytes(system + name), twitest::ReadFileBytes(twitest::StandInPath(name)))
        << name;
    EXPECT_FALSE(twitest::PathExists(twi::install::TemporaryNameFor(system, name))) << name;
  }
  size_t before = boxes.Calls().size();
  window.ExitProgram();
  ASSERT_EQ(boxes.Calls().size(), before + 1);
  EXPECT_EQ(boxes.Calls().back().prompt,
            "Don't forget to reboot your computer before using the programs you have installed.");
  (void)test;
}

class InstallOnXP : public InstallerTest {};
class InstallOn98 : public InstallerTest {};

TEST_F(InstallOnXP, RichTextInUseIsMovedAtReboot) {
  ASSERT_EQ(twi::TheOSInfo().fOSName(), "WinXP");
  std::string init = twitest::WindowsFolder() + "wininit.ini";
  DeleteFileW(twi::ToWide(init).c_str());
  HeldRichText held;
  ASSERT_TRUE(held.Holding());
  std::string system = twitest::SystemFolder(), boot = twitest::SystemFolderAtBoot();
  ASSERT_TRUE(window.Installer.InstallComponent("RICHTXT"));
  EXPECT_TRUE(log.Contains("Trying to download " + twitest::ServedUrl("main/runtimes/WINXP/RICHED.zip")));
  EXPECT_TRUE(twitest::PathExists(ProgramFile("WINXP.txt")));
  std::string tmp = Upper(system) + "RICHTX32.TMP";
  std::vector<std::string> statuses = {"System file in use. Adding commands to wininit.ini",
                                       "Copying " + ProgramFile("Richtx32.ocx") + " to " + tmp,
                                       "Windows Path: " + twitest::WindowsFolder(),
                                       "Wininit.ini file: " + init,
                                       "Adding to " + init,
                                       "Windows NT style init file"};
  for (const std::string& status : statuses) EXPECT_TRUE(log.Contains(status)) << status;
  EXPECT_TRUE(log.Contains("Creating " + init));  // for the first of the two files
  // What is left for the reboot names the 32-bit system folder by its own path.
  EXPECT_EQ(twitest::SplitLines(twitest::ReadFileBytes(init)),
            (std::vector<std::string>{
                "MoveFileEx(" + Upper(boot) + "RICHED32.TMP," + boot +
                    "Riched32.dll, MOVEFILE_DELAY_UNTIL_REBOOT);",
                "MoveFileEx(" + Upper(boot) + "RICHTX32.TMP," + boot +
                    "Richtx32.ocx, MOVEFILE_DELAY_UNTIL_REBOOT);"}));
  EXPECT_FALSE(log.Contains(ProgramFile("Richtx32.ocx") + " copied to " + system));  // no regsvr32
  EXPECT_FALSE(std::any_of(log.Texts().begin(), log.Texts().end(), [](const std::string& t) {
    return t.rfind("The system refused", 0) == 0;
  }));
  ExpectReplacedAfterReboot(*this, window, boxes, held);
}

TEST_F(InstallOn98, RichTextInUseIsRenamedAtReboot) {
  ASSERT_EQ(twi::TheOSInfo().fOSName(), "Win98");
  std::string boot = twitest::SystemFolderAtBoot(), init = twitest::WindowsFolder() + "wininit.ini";
  DeleteFileW(twi::ToWide(init).c_str());
  HeldRichText held;
  ASSERT_TRUE(held.Holding());
  ASSERT_TRUE(window.Installer.InstallComponent("RICHTXT"));
  EXPECT_TRUE(log.Contains("Trying to download " +
                           twitest::ServedUrl("main/runtimes/WINOTHER/RICHED.zip")));
  EXPECT_TRUE(log.Contains("Creating " + init));
  EXPECT_TRUE(log.Contains("Adding to " + init));
  EXPECT_TRUE(log.Contains("Windows 9x style init file"));
  // One [rename] section: start-up reads only the first.
  EXPECT_EQ(twitest::SplitLines(twitest::ReadFileBytes(init)),
            (std::vector<std::string>{"[rename]", boot + "Riched32.dll=" + Upper(boot) + "RICHED32.TMP",
                                      boot + "Richtx32.ocx=" + Upper(boot) + "RICHTX32.TMP"}));
  ExpectReplacedAfterReboot(*this, window, boxes, held);
}

// An entry joins the [rename] section the file has, wherever it stands.
TEST_F(InstallOn98, AnEntryJoinsTheRenameSectionThatIsThere) {
  std::string system = twitest::SystemFolder(), init = twitest::WindowsFolder() + "wininit.ini";
  std::string boot = twitest::SystemFolderAtBoot();
  twitest::WriteFileBytes(init, "[boot]\r\nx=1\r\n[rename]\r\nC:\\A=C:\\B\r\n\r\n[other]\r\ny=2");
  CopyFileW(twi::ToWide(twitest::StandInPath("Richtx32.ocx")).c_str(),
            twi::ToWide(ProgramFile("Richtx32.ocx")).c_str(), FALSE);
  twi::install::ReplaceAtReboot(window, ProgramFile("Richtx32.ocx"), "Richtx32.ocx", system);
  EXPECT_EQ(twitest::SplitLines(twitest::ReadFileBytes(init)),
            (std::vector<std::string>{"[boot]", "x=1", "[rename]", "C:\\A=C:\\B",
                                      boot + "Richtx32.ocx=" + Upper(boot) + "RICHTX32.TMP", "",
                                      "[other]", "y=2"}));
  EXPECT_TRUE(log.Contains("Adding to " + init));
  EXPECT_TRUE(window.RebootNeeded);
}

// A write that fails while the entry joins the section leaves the file as it was: the
// other programs' pending renames are not lost, and nothing is scheduled.
TEST_F(InstallOn98, AWriteThatFailsKeepsTheOtherPendingRenames) {
  std::string system = twitest::SystemFolder(), init = twitest::WindowsFolder() + "wininit.ini";
  const std::string before = "[rename]\r\nC:\\OTHER\\A.DLL=C:\\OTHER\\A.TMP\r\nNUL=C:\\OLD.LOG\r\n";
  twitest::WriteFileBytes(init, before);
  CopyFileW(twi::ToWide(twitest::StandInPath("Richtx32.ocx")).c_str(),
            twi::ToWide(ProgramFile("Richtx32.ocx")).c_str(), FALSE);
  {
    twitest::FailingWrites full({"\\wininit.ini", "\\wininit.ini.new"});
    ASSERT_TRUE(full.Installed());
    EXPECT_THROW(twi::install::ReplaceAtReboot(window, ProgramFile("Richtx32.ocx"), "Richtx32.ocx", system),
                 twi::RuntimeError);
    EXPECT_GT(full.Refused(), 0);
  }
  EXPECT_EQ(twitest::ReadFileBytes(init), before);
  EXPECT_FALSE(twitest::PathExists(init + ".new"));
  EXPECT_FALSE(window.RebootNeeded);
  DeleteFileW(twi::ToWide(twi::install::TemporaryNameFor(system, "Richtx32.ocx")).c_str());
}

// A temporary copy that cannot be made is reported, and nothing is scheduled.
TEST_F(InstallOn98, NoReplacementIsScheduledWithoutTheTemporaryFile) {
  std::string system = twitest::SystemFolder(), init = twitest::WindowsFolder() + "wininit.ini";
  std::string tmp = twi::install::TemporaryNameFor(system, "Richtx32.ocx");
  ASSERT_TRUE(CreateDirectoryW(twi::ToWide(tmp).c_str(), nullptr));  // the name is taken
  CopyFileW(twi::ToWide(twitest::StandInPath("Richtx32.ocx")).c_str(),
            twi::ToWide(ProgramFile("Richtx32.ocx")).c_str(), FALSE);
  std::string before = twitest::ReadFileBytes(init);
  twi::install::ReplaceAtReboot(window, ProgramFile("Richtx32.ocx"), "Richtx32.ocx", system);
  EXPECT_EQ(window.Status().rfind(ProgramFile("Richtx32.ocx") + " could not be copied to " + tmp, 0), 0u)
      << window.Status();
  EXPECT_EQ(twitest::ReadFileBytes(init), before);
  EXPECT_FALSE(window.RebootNeeded);
  RemoveDirectoryW(twi::ToWide(tmp).c_str());
}

}  // namespace
