// The self-update as a user lives it, with the real programs: the install
// center (1.2.99) finds 1.3.0 in its version file, downloads the package,
// hands over to Updater.exe and ends; Updater.exe runs the package and starts
// the install center again, now 1.3.0. Also from a program folder with a blank
// in its path ("...\Tarn wick\"), with a program planted where Windows would
// look first for a start whose path is not quoted ("...\Tarn.exe"): the update
// goes through, Updater.exe reads the caption whole, and the plant never runs.
#include <gtest/gtest.h>

#include <chrono>

#include "base/TextConv.h"
#include "support/OtherPrograms.h"
#include "support/TestServers.h"
#include "support/TestSupport.h"

namespace {

using namespace std::chrono_literals;
using twitest::ChildTexts;
using twitest::ChildWithText;

const std::string kTitle = "Tarnwick Software Install Center";

bool Shows(HWND window, const std::string& text) {
  for (const std::string& t : ChildTexts(window))
    if (t == text) return true;
  return false;
}

bool WaitUntilShows(HWND window, const std::string& text, std::chrono::seconds timeout) {
  auto end = std::chrono::steady_clock::now() + timeout;
  while (!Shows(window, text)) {
    if (std::chrono::steady_clock::now() > end) return false;
    Sleep(100);
  }
  return true;
}

void Click(HWND window, const std::string& caption) {
  HWND button = ChildWithText(window, "Button", caption);
  ASSERT_TRUE(button) << caption;
  PostMessageW(button, BM_CLICK, 0, 0);
}

// The program folder's name inside a scratch folder ("" the scratch folder itself).
class SelfUpdateJourney : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    const std::string& name = GetParam();
    if (name.empty()) return;
    path = scratch.Path() + "\\" + name;
    ASSERT_TRUE(CreateDirectoryW(twi::ToWide(path).c_str(), nullptr));
    if (size_t blank = name.find(' '); blank != std::string::npos) {
      plant = scratch.File(name.substr(0, blank) + ".exe");
      ASSERT_TRUE(CopyFileW(twi::ToWide(twitest::ProbeExe()).c_str(), twi::ToWide(plant).c_str(),
                            FALSE));
    }
  }
  std::string File(const std::string& name) const { return path + "\\" + name; }

  twitest::ScratchFolder scratch;
  std::string path = scratch.Path();
  std::string plant;  // "" when the folder's path has no blank
};

INSTANTIATE_TEST_SUITE_P(Folders, SelfUpdateJourney, ::testing::Values("", "Tarn wick"),
                         [](const auto& info) {
                           return info.param.empty() ? std::string("PlainFolder")
                                                     : std::string("FolderWithABlank");
                         });

TEST_P(SelfUpdateJourney, TheInstallCenterUpdatesItselfAndComesBackAs130) {
  const std::string exe = File("TWInstall.exe");
  for (const char* program : {"TWInstall.exe", "Updater.exe"})
    CopyFileW(twi::ToWide(twitest::BinDir() + "\\" + program).c_str(),
              twi::ToWide(File(program)).c_str(), FALSE);
  CreateDirectoryW(twi::ToWide(twitest::HttpRoot() + "\\versions").c_str(), nullptr);
  twitest::WriteFileBytes(twitest::HttpRoot() + "\\versions\\TWI_current.txt",
                          "1.3.0\r\n" + twitest::HttpUrl("/files/TWInstUpd@@@.exe") + "\r\n");
  CopyFileW(twi::ToWide(twitest::WindowsPathOf(TWI_FIXTURE_DIR) + "\\update\\TWInstUpd.exe").c_str(),
            twi::ToWide(twitest::HttpRoot() + "\\TWInstUpd130.exe").c_str(), FALSE);
  twitest::WriteFileBytes(File("TWInstaller.ini"),
                          "MAINSERVER," + twitest::HttpUrl("/files/") + "\r\n");

  twitest::StartedProgram first(exe, "", path);
  HWND main = twitest::WaitForWindowOf(exe, kTitle, 60s);
  ASSERT_TRUE(main);
  ASSERT_TRUE(WaitUntilShows(main, "V: 1.2.99", 30s));
  Click(main, "Update Install Center");

  HWND updater = twitest::WaitForWindowOf(exe, kTitle + " Updater", 30s);
  ASSERT_TRUE(updater);
  ASSERT_TRUE(WaitUntilShows(updater, "Version 1.3.0 is available!", 30s));
  Click(updater, "Download and Install");

  HWND question = nullptr;
  for (int i = 0; i < 600 && !question; ++i, Sleep(100)) {
    HWND box = twitest::WaitForWindowOf(exe, kTitle, 0ms);
    if (box && twitest::ClassOf(box) == "#32770" &&
        Shows(box, "The update has been downloaded. Do you want to install it now?"))
      question = box;
  }
  ASSERT_TRUE(question);
  Click(question, "&Yes");
  DWORD code = 99;
  ASSERT_TRUE(first.WaitForExit(30s, code));
  EXPECT_EQ(code, 0u);

  // Updater.exe runs the package and starts the install center again.
  HWND again = nullptr;
  for (int i = 0; i < 60 && !again; ++i) {
    HWND window = twitest::WaitForWindowOf(exe, kTitle, 1s);
    if (window && Shows(window, "V: 1.3.0")) again = window;
  }
  ASSERT_TRUE(again) << twitest::ReadFileBytes(File("updater.log"));
  EXPECT_FALSE(twitest::PathExists(File("updater.ini")));
  std::string log = twitest::ReadFileBytes(File("updater.log"));
  for (const std::string& step :
       {"Update program started for \"" + kTitle + "\" in " + path,
        std::string("updater.ini names the package \"TWInstUpd.exe\""),
        std::string("The package ended with code 0"), std::string("Update installed"),
        std::string("Started the install center again")})
    EXPECT_NE(log.find(step), std::string::npos) << step << "\n" << log;
  EXPECT_TRUE(twitest::CloseAndWaitForExit(again, 20s));
  if (!plant.empty()) {
    EXPECT_FALSE(twitest::PathExists(plant + ".starts"))
        << plant << " was started:\n" << twitest::ReadFileBytes(plant + ".starts");
  }
}

}  // namespace
