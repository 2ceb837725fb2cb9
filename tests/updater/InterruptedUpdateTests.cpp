// Updater.exe killed at each step of its run (as the task manager or a power cut
// ends it), and the package with it where one runs: one documented action, the
// update program started again on its own, leaves a working install center. The
// real Updater.exe is stopped at a step by TWI_UPDATER_PAUSE (it logs "Paused at
// <step>" and waits there) and then killed by its process handle.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "base/ProcessImage.h"
#include "base/TextConv.h"
#include "support/OtherPrograms.h"
#include "support/UpdateFolder.h"
#include "support/UserActions.h"
#include "updater/UpdateRun.h"

namespace {

using namespace std::chrono_literals;
using twi::updater::UpdateRun;

const std::string kTitle = "Tarnwick Software Install Center";

std::string Upper(const std::string& text) { return twi::UpperAscii(text); }

// Starts Updater.exe from the folder as the install center would, told to stop at `step`.
std::unique_ptr<twitest::StartedProgram> StartPausedAt(const std::string& updater,
                                                       const std::string& step) {
  SetEnvironmentVariableW(L"TWI_UPDATER_PAUSE", twi::ToWide(step).c_str());
  auto program = std::make_unique<twitest::StartedProgram>(updater, kTitle);
  SetEnvironmentVariableW(L"TWI_UPDATER_PAUSE", nullptr);
  return program;
}

// Kills the update program and the package it runs, if any; how many packages.
int KillWithItsPackage(twitest::StartedProgram& updater, const std::string& package) {
  std::vector<DWORD> children = twitest::ChildProcessesOf(updater.Pid());
  EXPECT_TRUE(updater.Kill());
  int packages = 0;
  for (DWORD child : children) {
    if (Upper(twi::ProcessImagePath(child)) != Upper(package)) continue;
    EXPECT_TRUE(twitest::KillProcess(child));
    ++packages;
  }
  return packages;
}

// The update program started again on its own, as a user would start it: what it
// tells (one box, or none) and its exit code.
struct Repair {
  std::string told;
  DWORD code = 99;
};

Repair RunOnItsOwn(const std::string& updater) {
  Repair repair;
  twitest::StartedProgram program(updater);
  EXPECT_TRUE(program.Started());
  twitest::WaitFor(
      [&] {
        if (program.WaitForExit(0ms, repair.code)) return true;
        HWND box = twitest::WaitForWindowOf(updater, kTitle + " Updater", 0ms, "#32770");
        if (!box || twitest::TextContaining(box, ".").empty()) return false;
        repair.told = twitest::TextContaining(box, ".");
        return twitest::PressButton(box, "OK") && program.WaitForExit(30s, repair.code);
      },
      120s);
  return repair;
}

TEST(InterruptedUpdate, AKillAtAnyStepIsRepairedByStartingTheUpdateProgramAgain) {
  struct Case {
    const char* step;
    const char* package;
    bool newInstallCenterCameUp;  // the user closes it before the repair
    std::string told;             // by the repair run
    DWORD code;
    const char* version;
  };
  const std::string repaired =
      "An earlier update of the install center did not finish, so the install center it had "
      "kept aside was put back.";
  const std::string nothing =
      "There is no update to install (updater.ini is missing, empty or not valid). The install "
      "center was not changed.";
  const std::vector<Case> cases = {
      {"started", "TWInstUpd.exe", false, "", UpdateRun::kUpdated, "V: 1.3.0"},
      {"handed-over", "TWInstUpd.exe", false, nothing, UpdateRun::kNotUpdated, "V: 1.2.99"},
      {"keeping", "TWInstUpd.exe", false, nothing, UpdateRun::kNotUpdated, "V: 1.2.99"},
      {"kept", "TWInstUpd.exe", false, repaired, UpdateRun::kNotUpdated, "V: 1.2.99"},
      {"package-running", "TWInstUpd-stalls.exe", false, repaired, UpdateRun::kNotUpdated,
       "V: 1.2.99"},
      {"package-ended", "TWInstUpd.exe", false, repaired, UpdateRun::kNotUpdated, "V: 1.2.99"},
      {"new-started", "TWInstUpd.exe", true, repaired, UpdateRun::kNotUpdated, "V: 1.2.99"},
      {"new-shown", "TWInstUpd.exe", true, repaired, UpdateRun::kNotUpdated, "V: 1.2.99"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.step);
    twitest::UpdateFolder folder;
    const std::string updater = folder.AddUpdater();
    folder.Package(c.package);
    folder.HandOver("TWInstUpd.exe");
    std::unique_ptr<twitest::StartedProgram> run = StartPausedAt(updater, c.step);
    ASSERT_TRUE(run->Started());
    const std::string paused = std::string("Paused at ") + c.step;
    ASSERT_TRUE(
        twitest::WaitFor([&] { return folder.Log().find(paused) != std::string::npos; }, 120s))
        << folder.Log();
    const bool packageRuns = std::string(c.step) == "package-running";
    if (packageRuns) {  // it deletes the install center first
      ASSERT_TRUE(
          twitest::WaitFor([&] { return !twitest::PathExists(folder.InstallCenter()); }, 60s));
    }
    EXPECT_EQ(KillWithItsPackage(*run, folder.File("TWInstUpd.exe")), packageRuns ? 1 : 0);
    if (c.newInstallCenterCameUp) {
      EXPECT_EQ(folder.RestartedVersionLine(), "V: 1.3.0");
    }

    Repair repair = RunOnItsOwn(updater);
    EXPECT_EQ(repair.told, c.told) << folder.Log();
    EXPECT_EQ(repair.code, c.code) << folder.Log();
    EXPECT_EQ(folder.RestartedVersionLine(), c.version) << folder.Log();
    for (const char* left :
         {"TWInstall.exe.previous", "TWInstall.exe.previous.part", "updater.ini"}) {
      EXPECT_FALSE(twitest::PathExists(folder.File(left))) << left;
    }
  }
}

}  // namespace
