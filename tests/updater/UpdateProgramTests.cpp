// The update program: it waits for the install center to close, runs the
// package that updater.ini names, keeps the old install center when anything
// goes wrong, and starts the install center again. Real programs throughout:
// the install center of this build (1.2.99), the stand-in package that puts a
// 1.3.0 build in its place, and packages that fail.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "base/TextConv.h"
#include "base/UniqueHandle.h"
#include "support/OtherPrograms.h"
#include "support/TestSupport.h"
#include "support/UpdateFolder.h"
#include "updater/ProgramFile.h"
#include "updater/UpdateRun.h"

namespace {

using namespace std::chrono_literals;
using twi::updater::UpdateRun;

// A program folder holding this build's install center; the update program run
// in this process, as Updater.exe runs it, told what a message box would show.
class UpdateProgram : public ::testing::Test {
 protected:
  std::string InstallCenter() const { return folder.InstallCenter(); }
  void Package(const std::string& fixture) { folder.Package(fixture); }
  void HandOver(const std::string& text) { folder.HandOver(text); }
  int Run(double closeTimeout = 10, double windowTimeout = 120) {
    UpdateRun run(folder.Path(), "Update program test: no such window");
    run.CloseTimeoutSeconds = closeTimeout;
    run.WindowTimeoutSeconds = windowTimeout;
    run.Tell = [this](const std::string& message) { told.push_back(message); };
    return run.Run();
  }
  std::string RestartedVersionLine() { return folder.RestartedVersionLine(); }
  void WaitForThePackagesChild();
  std::string Log() { return folder.Log(); }

  twitest::UpdateFolder folder;
  std::vector<std::string> told;
};

TEST_F(UpdateProgram, RunsThePackageAndStartsTheNewInstallCenter) {
  Package("TWInstUpd.exe");
  HandOver("TWInstUpd.exe");
  EXPECT_EQ(Run(), UpdateRun::kUpdated);
  EXPECT_TRUE(told.empty());
  EXPECT_EQ(twitest::FileVersionOf(InstallCenter()), "1.3.0.0");
  EXPECT_FALSE(twitest::PathExists(folder.File("updater.ini")));
  EXPECT_FALSE(twitest::PathExists(folder.File("TWInstall.exe.previous")));
  EXPECT_EQ(RestartedVersionLine(), "V: 1.3.0");
  std::string log = Log();
  for (const char* step : {"updater.ini names the package \"TWInstUpd.exe\"", "Removed updater.ini",
                           "The package ended with code 0", "Update installed",
                           "Started the install center again"})
    EXPECT_NE(log.find(step), std::string::npos) << step << "\n" << log;
}

// A read-only install center (copied from a CD, say) is updated like any other.
TEST_F(UpdateProgram, AReadOnlyInstallCenterIsUpdated) {
  ASSERT_TRUE(SetFileAttributesW(twi::ToWide(InstallCenter()).c_str(), FILE_ATTRIBUTE_READONLY));
  if (twi::UniqueHandle(CreateFileW(twi::ToWide(InstallCenter()).c_str(), GENERIC_WRITE, 0,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)))
    GTEST_SKIP() << "a read-only file opens for writing here: this run is not bound by the files' "
                    "modes (tests/tools/file-modes could not drop the override)";
  Package("TWInstUpd.exe");
  HandOver("TWInstUpd.exe");
  EXPECT_EQ(Run(), UpdateRun::kUpdated) << Log();
  EXPECT_TRUE(told.empty()) << told.front();
  EXPECT_EQ(twitest::FileVersionOf(InstallCenter()), "1.3.0.0");
  EXPECT_EQ(RestartedVersionLine(), "V: 1.3.0");
}

TEST_F(UpdateProgram, WhateverFailsTheOldInstallCenterStaysAndStartsAgain) {
  struct Case {
    const char* what;
    const char* package;  // fixture copied as TWInstUpd.exe, "" for none
    const char* handOver;  // nullptr: no updater.ini
    std::string message;
  };
  const std::string unchanged = ". The install center was not changed.";
  const std::string putBack = ". The previous install center was put back.";
  const std::vector<Case> cases = {
      {"no updater.ini", "", nullptr,
       "There is no update to install (updater.ini is missing, empty or not valid)" + unchanged},
      {"an empty updater.ini", "", "",
       "There is no update to install (updater.ini is missing, empty or not valid)" + unchanged},
      {"a path instead of a name", "TWInstUpd.exe", "..\\TWInstUpd.exe",
       "There is no update to install (updater.ini is missing, empty or not valid)" + unchanged},
      {"a missing package", "", "TWInstUpd.exe",
       "The update package TWInstUpd.exe was not found" + unchanged},
      {"a package that spoils the program and fails", "TWInstUpd-fails.exe", "TWInstUpd.exe",
       "The update package TWInstUpd.exe ended with error code 5" + putBack},
      {"a package that leaves no program", "TWInstUpd-breaks.exe", "TWInstUpd.exe",
       "The update package TWInstUpd.exe did not leave a working install center" + putBack},
      {"a package that does nothing", "TWInstUpd-does-nothing.exe", "TWInstUpd.exe",
       "The update package TWInstUpd.exe ended with code 0 but left TWInstall.exe as it "
       "was" + unchanged},
      {"a package that hands its work to a child and ends", "TWInstUpd-hands-off.exe",
       "TWInstUpd.exe",
       "The update package TWInstUpd.exe ended with code 0 but left TWInstall.exe as it "
       "was" + unchanged},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    told.clear();
    DeleteFileW(twi::ToWide(folder.File("TWInstUpd.exe")).c_str());
    if (*c.package) Package(c.package);
    if (c.handOver) HandOver(c.handOver);
    EXPECT_EQ(Run(), UpdateRun::kNotUpdated);
    EXPECT_EQ(told, std::vector<std::string>{c.message});
    EXPECT_TRUE(folder.InstallCenterIsOriginal());
    EXPECT_FALSE(twitest::PathExists(folder.File("updater.ini")));
    EXPECT_FALSE(twitest::PathExists(folder.File("TWInstall.exe.previous")));
    EXPECT_EQ(RestartedVersionLine(), "V: 1.2.99");
    WaitForThePackagesChild();
  }
}

// The package that hands its work to a child said which: the child ends soon
// after (it holds the package's file while it runs).
void UpdateProgram::WaitForThePackagesChild() {
  const std::string pidFile = folder.File("TWInstUpd-child.pid");
  if (!twitest::PathExists(pidFile)) return;
  const DWORD pid = std::stoul(twitest::ReadFileBytes(pidFile));
  twi::UniqueHandle child(OpenProcess(SYNCHRONIZE, FALSE, pid));
  EXPECT_TRUE(!child || WaitForSingleObject(child.Get(), 60000) == WAIT_OBJECT_0);
  DeleteFileW(twi::ToWide(pidFile).c_str());
}

// The package put a folder in the program's place: the previous install center
// cannot be put back, and the message says so instead of "put back", and how to
// put it back later.
TEST_F(UpdateProgram, AnInstallCenterThatCannotBePutBackIsSaidSo) {
  Package("TWInstUpd-blocks.exe");
  HandOver("TWInstUpd.exe");
  EXPECT_EQ(Run(), UpdateRun::kNotUpdated);
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0],
            "The update package TWInstUpd.exe did not leave a working install center. The "
            "previous install center could not be put back (Permission denied): it is kept as "
            "TWInstall.exe.previous, and starting Updater.exe again puts it back. The install "
            "center could not be started again (Bad file name or number).");
  EXPECT_TRUE(twitest::ReadFileBytes(folder.File("TWInstall.exe.previous")) == folder.Original());
  EXPECT_FALSE(twitest::WaitForWindowOf(InstallCenter(), "", 3s));
  // Once the folder is gone, the update program started again puts the copy back.
  ASSERT_TRUE(RemoveDirectoryW(twi::ToWide(InstallCenter()).c_str()));
  told.clear();
  EXPECT_EQ(Run(), UpdateRun::kNotUpdated);
  EXPECT_EQ(told, std::vector<std::string>{
                      "An earlier update of the install center did not finish, so the install "
                      "center it had kept aside was put back."});
  EXPECT_TRUE(folder.InstallCenterIsOriginal());
  EXPECT_FALSE(twitest::PathExists(folder.File("TWInstall.exe.previous")));
  EXPECT_EQ(RestartedVersionLine(), "V: 1.2.99");
}

// The package left a TWInstall.exe that looks like a program (its headers are
// whole) but does not come up: the kept copy stays until the new program has shown
// a window, so it goes back and is started instead.
TEST_F(UpdateProgram, ANewInstallCenterThatDoesNotComeUpIsReplacedByThePrevious) {
  struct Case {
    const char* what;
    const char* package;
    std::string message;
  };
  const std::string left = "The update package TWInstUpd.exe left an install center that ";
  const std::string putBack = ". The previous install center was put back.";
  const std::vector<Case> cases = {
      {"a program cut short", "TWInstUpd-truncates.exe",
       left + "could not be started (Bad EXE format for TWInstall.exe)" + putBack},
      {"a program that shows no window", "TWInstUpd-windowless.exe",
       left + "showed no window within 5 seconds" + putBack},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    told.clear();
    Package(c.package);
    HandOver("TWInstUpd.exe");
    EXPECT_EQ(Run(10, 5), UpdateRun::kNotUpdated) << Log();
    EXPECT_EQ(told, std::vector<std::string>{c.message});
    EXPECT_TRUE(folder.InstallCenterIsOriginal());
    EXPECT_FALSE(twitest::PathExists(folder.File("TWInstall.exe.previous")));
    EXPECT_EQ(RestartedVersionLine(), "V: 1.2.99");
  }
}

TEST_F(UpdateProgram, APackageThatIsNoProgramCannotBeRun) {
  twitest::WriteFileBytes(folder.File("TWInstUpd.exe"), "<html>not found</html>");
  HandOver("TWInstUpd.exe");
  EXPECT_EQ(Run(), UpdateRun::kNotUpdated);
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0].rfind("The update package TWInstUpd.exe could not be run (", 0), 0u) << told[0];
  EXPECT_TRUE(folder.InstallCenterIsOriginal());
  EXPECT_EQ(RestartedVersionLine(), "V: 1.2.99");
}

// TWInstall.exe stays in use once the install center has ended: by another
// install center from this folder, or by a program that holds the file open.
// Nothing is changed and updater.ini stays for a later try; the install center is
// started again unless one still runs.
TEST_F(UpdateProgram, AnInstallCenterFileThatStaysInUseIsLeftAlone) {
  Package("TWInstUpd.exe");
  {
    SCOPED_TRACE("another install center runs from this folder");
    HandOver("TWInstUpd.exe");
    twitest::StartedProgram running(InstallCenter(), "", folder.Path());
    HWND window =
        twitest::WaitForWindowOf(InstallCenter(), "Tarnwick Software Install Center", 60s);
    ASSERT_TRUE(window);
    EXPECT_EQ(Run(2), UpdateRun::kInUse);
    EXPECT_EQ(told, std::vector<std::string>{
                        "The install center was still running from TWInstall.exe after 2 seconds, "
                        "so it was not updated. Close it and start Updater.exe again to install "
                        "the update."});
    EXPECT_TRUE(twitest::CloseAndWaitForExit(window, 30s));
    EXPECT_FALSE(twitest::WaitForWindowOf(InstallCenter(), "", 3s));  // no second one was started
  }
  {
    SCOPED_TRACE("another program holds the file open");
    told.clear();
    twitest::FileHeldOpen held(InstallCenter());
    ASSERT_TRUE(held.Held());
    EXPECT_EQ(Run(2), UpdateRun::kInUse);
    EXPECT_EQ(told, std::vector<std::string>{
                        "TWInstall.exe could not be opened for writing for 2 seconds (Permission "
                        "denied), so the install center was not updated. The install center could "
                        "not be started again (Permission denied)."});
  }
  EXPECT_TRUE(folder.InstallCenterIsOriginal());
  EXPECT_TRUE(twitest::PathExists(folder.File("updater.ini")));
}

// Updater.exe itself, as the install center starts it: the caption follows the
// program name with its blanks and no quotes; a failure is told in one box.
TEST_F(UpdateProgram, TheProgramTellsAFailureInOneBox) {
  std::string updater = folder.AddUpdater();
  twitest::StartedProgram program(updater, "Update program test: no such window");
  ASSERT_TRUE(program.Started());
  HWND box = twitest::WaitForWindowOf(updater, "Tarnwick Software Install Center Updater", 20s);
  ASSERT_TRUE(box);
  std::vector<std::string> texts = twitest::ChildTexts(box);
  EXPECT_NE(std::find(texts.begin(), texts.end(),
                      "There is no update to install (updater.ini is missing, empty or not "
                      "valid). The install center was not changed."),
            texts.end());
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  DWORD code = 99;
  ASSERT_TRUE(program.WaitForExit(10s, code));
  EXPECT_EQ(code, static_cast<DWORD>(UpdateRun::kNotUpdated));
  EXPECT_NE(Log().find("Update program started for \"Update program test: no such window\""),
            std::string::npos)
      << Log();
  EXPECT_EQ(RestartedVersionLine(), "V: 1.2.99");
}

TEST(ProgramFile, OnlyAnExecutableImageIsRunnable) {
  twitest::ScratchFolder dir;
  twitest::WriteFileBytes(dir.File("text.exe"), "MZ but nothing after it");
  EXPECT_TRUE(twi::updater::IsRunnableProgram(twitest::BinDir() + "\\TWInstall.exe"));
  EXPECT_FALSE(twi::updater::IsRunnableProgram(dir.File("text.exe")));
  EXPECT_FALSE(twi::updater::IsRunnableProgram(dir.File("missing.exe")));
  EXPECT_FALSE(twi::updater::IsRunnableProgram(
      twitest::WindowsPathOf(TWI_FIXTURE_DIR) + "\\msinet.ocx"));  // a DLL
}

}  // namespace
