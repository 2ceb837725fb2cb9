// An install center that takes long to end: its user answers its last message
// box after 45 seconds. The update program started by it waits for its process
// to end, however long that takes, and the update still goes through. The real
// install center shows a real box with its caption ("Determine latest version",
// its server refusing the connection) and ends through "Exit"; the update program
// runs on a thread of this process meanwhile, as Updater.exe would run it.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <vector>

#include "support/OtherPrograms.h"
#include "support/UpdateFolder.h"
#include "support/UserActions.h"
#include "updater/UpdateRun.h"

namespace {

using namespace std::chrono_literals;
using twi::updater::UpdateRun;

const std::string kTitle = "Tarnwick Software Install Center";

// One update run on a thread of its own: the test's thread stays free to act as
// the install center's user meanwhile.
class BackgroundUpdateRun {
 public:
  BackgroundUpdateRun(const std::string& folder, unsigned long installCenterPid)
      : run_(folder, kTitle, installCenterPid) {
    run_.Tell = [this](const std::string& message) { told_.push_back(message); };
    thread_.Reset(CreateThread(nullptr, 0, &BackgroundUpdateRun::Body, this, 0, nullptr));
  }
  ~BackgroundUpdateRun() { Finished(10min); }
  bool Started() const { return static_cast<bool>(thread_); }
  bool Finished(std::chrono::milliseconds timeout) const {
    return thread_ &&
           WaitForSingleObject(thread_.Get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
  }
  // Read once Finished.
  int Code() const { return code_; }
  const std::vector<std::string>& Told() const { return told_; }

 private:
  static DWORD WINAPI Body(void* self) {
    auto* me = static_cast<BackgroundUpdateRun*>(self);
    me->code_ = me->run_.Run();
    return 0;
  }
  UpdateRun run_;
  std::vector<std::string> told_;
  int code_ = -1;
  twi::UniqueHandle thread_;
};

TEST(SlowAnswer, AnInstallCenterWhoseLastBoxIsAnsweredAfter45SecondsIsStillUpdated) {
  twitest::UpdateFolder folder;
  // Declared before the install center, so that a failed test ends the install
  // center (which the run waits for) before it waits for the run.
  std::optional<BackgroundUpdateRun> run;
  folder.Package("TWInstUpd.exe");
  folder.HandOver("TWInstUpd.exe");
  twitest::WriteFileBytes(folder.File("TWInstaller.ini"), "MAINSERVER,http://127.0.0.1:1/\r\n");
  twitest::StartedProgram center(folder.InstallCenter(), "", folder.Path());
  ASSERT_TRUE(center.Started());
  HWND main = twitest::WaitForWindowOf(folder.InstallCenter(), kTitle, 60s);
  ASSERT_TRUE(main);
  ASSERT_TRUE(twitest::WaitFor([&] { return twitest::ShowsText(main, "V: 1.2.99"); }, 30s));
  ASSERT_TRUE(twitest::PressButton(main, "Determine latest version"));
  HWND box = twitest::WaitForMessageBox(folder.InstallCenter(), "Latest version of", 60s);
  ASSERT_TRUE(box);
  ASSERT_EQ(twitest::CaptionOf(box), kTitle);

  run.emplace(folder.Path(), center.Pid());
  ASSERT_TRUE(run->Started());
  EXPECT_FALSE(run->Finished(45s)) << "the update program did not wait:\n" << folder.Log();
  ASSERT_TRUE(IsWindow(box));
  ASSERT_TRUE(twitest::PressButton(box, "OK"));
  ASSERT_TRUE(twitest::WaitFor([&] { return !IsWindow(box); }, 30s));
  ASSERT_TRUE(twitest::PressButton(main, "Exit"));
  DWORD code = 99;
  ASSERT_TRUE(center.WaitForExit(30s, code));

  ASSERT_TRUE(run->Finished(120s)) << folder.Log();
  EXPECT_EQ(run->Code(), UpdateRun::kUpdated) << folder.Log();
  EXPECT_TRUE(run->Told().empty()) << run->Told().front();
  EXPECT_EQ(twitest::FileVersionOf(folder.InstallCenter()), "1.3.0.0");
  EXPECT_EQ(folder.RestartedVersionLine(), "V: 1.3.0");
}

}  // namespace
