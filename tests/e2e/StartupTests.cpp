// TWInstall.exe itself, started as a user starts it: the splash, the main
// window as a user sees it, the log it starts, and the exit through "Exit".
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "base/Clock.h"
#include "base/TextConv.h"
#include "support/TestSupport.h"

namespace {

struct ProcessWindows {
  DWORD pid;
  std::vector<HWND> tops;
};

std::vector<HWND> TopWindowsOf(DWORD pid) {
  ProcessWindows found{pid, {}};
  EnumWindows(
      [](HWND hwnd, LPARAM data) -> BOOL {
        auto* f = reinterpret_cast<ProcessWindows*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner == f->pid && IsWindowVisible(hwnd)) f->tops.push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found.tops;
}

std::string TextOf(HWND hwnd) {
  wchar_t buffer[1024] = {};
  SendMessageW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer));
  return twi::ToUtf8(buffer);
}

// The stored caption, read without sending the window a message (the program
// may be busy, as it is during its start-up wait).
std::string CaptionOf(HWND hwnd) {
  wchar_t buffer[256] = {};
  GetWindowTextW(hwnd, buffer, 256);
  return twi::ToUtf8(buffer);
}

std::string ClassOf(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return twi::ToUtf8(name);
}

std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> all;
  EnumChildWindows(
      parent,
      [](HWND hwnd, LPARAM data) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(data)->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&all));
  return all;
}

HWND ChildWithText(HWND parent, const std::string& cls, const std::string& text) {
  for (HWND h : Descendants(parent))
    if (ClassOf(h) == cls && TextOf(h) == text) return h;
  return nullptr;
}

bool HasLabel(HWND parent, const std::string& text) { return ChildWithText(parent, "Static", text); }

class InstallCenterProcess {
 public:
  explicit InstallCenterProcess(const std::string& folder) {
    std::string exe = folder + "\\TWInstall.exe";
    CopyFileW(twi::ToWide(twitest::BinDir() + "\\TWInstall.exe").c_str(), twi::ToWide(exe).c_str(),
              FALSE);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring line = L"\"" + twi::ToWide(exe) + L"\"";
    ok_ = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                         twi::ToWide(folder).c_str(), &startup, &info_);
  }
  ~InstallCenterProcess() {
    if (!ok_) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 9);
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  bool Started() const { return ok_; }
  DWORD Pid() const { return info_.dwProcessId; }
  bool WaitForExit(DWORD ms, DWORD& code) {
    if (WaitForSingleObject(info_.hProcess, ms) != WAIT_OBJECT_0) return false;
    GetExitCodeProcess(info_.hProcess, &code);
    return true;
  }

 private:
  PROCESS_INFORMATION info_{};
  bool ok_ = false;
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
  ASSERT_TRUE(app.WaitForExit(10000, code));
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
