// TWInstall.exe itself, started as a user starts it: the splash, the main
// window as a user sees it, the log it starts, and the exit through "Exit".
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "base/Clock.h"
#include "base/TextConv.h"
#include "support/OtherPrograms.h"
#include "support/TestSupport.h"

namespace {

using namespace std::chrono_literals;
using twitest::CaptionOf;
using twitest::ChildWithText;
using twitest::ClassOf;
using twitest::Descendants;
using twitest::TextOf;
using twitest::TopWindowsOf;

bool HasLabel(HWND parent, const std::string& text) { return ChildWithText(parent, "Static", text); }

// This build's install center, copied into a program folder of its own and started there.
class InstallCenterProcess : public twitest::StartedProgram {
 public:
  explicit InstallCenterProcess(const std::string& folder)
      : StartedProgram(Installed(folder), "", folder) {}

 private:
  static std::string Installed(const std::string& folder) {
    std::string exe = folder + "\\TWInstall.exe";
    CopyFileW(twi::ToWide(twitest::BinDir() + "\\TWInstall.exe").c_str(), twi::ToWide(exe).c_str(),
              FALSE);
    return exe;
  }
};

TEST(InstallCenter, StartsWithSplashShowsTheMainWindowAndExits) {
  twitest::ScratchFolder folder;
  twitest::WriteFileBytes(folder.File("log.txt"), "1 09:00:00, line of an earlier run\r\n");
  InstallCenterProcess app(folder.Path());
  ASSERT_TRUE(app.Started());

  double splashFirst = 0, splashLast = 0;
  HWND main = nullptr;
  double deadline = twi::ClockSeconds() + 30;
  while (twi::ClockSeconds() < deadline) {
    double now = twi::ClockSeconds();
    HWND mainNow = nullptr;
    for (HWND top : TopWindowsOf(app.Pid())) {
      if (ClassOf(top) != "TWInstallForm") continue;
      std::string caption = CaptionOf(top);
      if (caption.empty()) {
        if (splashFirst == 0) splashFirst = now;
        splashLast = now;
      } else if (caption == "Tarnwick Software Install Center") {
        mainNow = top;
      }
    }
    if (mainNow && splashFirst != 0 && splashLast < now - 0.2) {
      main = mainNow;
      break;
    }
    Sleep(20);
  }
  ASSERT_NE(main, nullptr) << "main window not shown";
  ASSERT_GT(splashFirst, 0.0) << "splash never seen";
  EXPECT_GE(splashLast - splashFirst, 1.2);  // polled every 20 ms: at least 1.25 s visible

  HWND list = nullptr;
  for (HWND h : Descendants(main))
    if (ClassOf(h) == "ComboBox") list = h;
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 16);
  EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(TextOf(list), "ShelfCat2");
  EXPECT_TRUE(HasLabel(main, "Book catalogue software, Version 2"));
  EXPECT_TRUE(HasLabel(main, "V: 1.2.99"));
  EXPECT_TRUE(HasLabel(main,
                       "Click 'Scan Runtimes' to see if your system is ready for this program.  "
                       "Click 'Download and Install Program' to install the selected software."));
  EXPECT_TRUE(ChildWithText(main, "Button", "Scan Runtimes"));
  EXPECT_TRUE(ChildWithText(main, "Button", "Determine latest version"));
  EXPECT_TRUE(twitest::PathExists(folder.File("Runtimes")));

  HWND exit = ChildWithText(main, "Button", "Exit");
  ASSERT_NE(exit, nullptr);
  PostMessageW(exit, BM_CLICK, 0, 0);
  DWORD code = 99;
  ASSERT_TRUE(app.WaitForExit(10s, code));
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(twitest::PathExists(folder.File("TWInstaller.ini")));  // saved at exit

  std::string log = twitest::ReadFileBytes(folder.File("log.txt"));
  EXPECT_EQ(log.find("earlier run"), std::string::npos);
  const char* header[] = {"Log file created \r\n", "Operating System: ", "App: TWInstall\r\n",
                          "Version: 1.2.99\r\n",  "Curdir: ",          "App path: ",
                          "Program startup\r\n"};
  size_t at = 0;
  for (const char* text : header) {
    size_t found = log.find(text, at);
    ASSERT_NE(found, std::string::npos) << text;
    EXPECT_EQ(log.substr(found - 12, 2), "1 ");  // "1 HH:mm:ss, " before each text
    at = found;
  }
}

// The program states that it runs with the administrator's rights (the system
// folder, regsvr32, installers); under Wine it simply starts, elevated.
TEST(InstallCenter, AsksForTheAdministratorsRights) {
  HMODULE exe = LoadLibraryExW(twi::ToWide(twitest::BinDir() + "\\TWInstall.exe").c_str(), nullptr,
                               LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(exe, nullptr);
  HRSRC resource = FindResourceW(exe, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
  ASSERT_NE(resource, nullptr);
  std::string manifest(static_cast<const char*>(LockResource(LoadResource(exe, resource))),
                       SizeofResource(exe, resource));
  FreeLibrary(exe);
  EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"requireAdministrator\""),
            std::string::npos);
  // This test program carries the same manifest; under Wine it runs elevated.
  HANDLE token = nullptr;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  EXPECT_TRUE(GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size));
  CloseHandle(token);
  EXPECT_NE(elevation.TokenIsElevated, 0u);
}

}  // namespace
