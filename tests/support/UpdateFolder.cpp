#include "support/UpdateFolder.h"

#include <vector>

#include "base/TextConv.h"
#include "support/OtherPrograms.h"
#include "support/UserActions.h"

namespace twitest {
namespace {

using namespace std::chrono_literals;

void Copy(const std::string& from, const std::string& to) {
  EXPECT_TRUE(CopyFileW(twi::ToWide(from).c_str(), twi::ToWide(to).c_str(), FALSE))
      << from << " to " << to;
}

std::string VersionLineOf(HWND window) {
  for (const std::string& text : ChildTexts(window))
    if (text.rfind("V: ", 0) == 0) return text;
  return "";
}

}  // namespace

std::string UpdateFixture(const std::string& name) {
  return WindowsPathOf(TWI_FIXTURE_DIR) + "\\update\\" + name;
}

std::string FileVersionOf(const std::string& path) {
  std::wstring wide = twi::ToWide(path);
  DWORD ignored = 0, size = GetFileVersionInfoSizeW(wide.c_str(), &ignored);
  std::vector<unsigned char> data(size);
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!size || !GetFileVersionInfoW(wide.c_str(), 0, size, data.data()) ||
      !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length))
    return "";
  return std::to_string(HIWORD(info->dwFileVersionMS)) + "." +
         std::to_string(LOWORD(info->dwFileVersionMS)) + "." +
         std::to_string(HIWORD(info->dwFileVersionLS)) + "." +
         std::to_string(LOWORD(info->dwFileVersionLS));
}

UpdateFolder::UpdateFolder() {
  Copy(BinDir() + "\\TWInstall.exe", InstallCenter());
  original_ = ReadFileBytes(InstallCenter());
}

bool UpdateFolder::InstallCenterIsOriginal() const {
  return ReadFileBytes(InstallCenter()) == original_;
}

void UpdateFolder::Package(const std::string& fixture) const {
  Copy(UpdateFixture(fixture), File("TWInstUpd.exe"));
}

void UpdateFolder::HandOver(const std::string& text) const {
  WriteFileBytes(File("updater.ini"), text);
}

std::string UpdateFolder::AddUpdater() const {
  Copy(BinDir() + "\\Updater.exe", File("Updater.exe"));
  return File("Updater.exe");
}

std::string UpdateFolder::RestartedVersionLine(std::chrono::seconds timeout) const {
  HWND window = WaitForWindowOf(InstallCenter(), "Tarnwick Software Install Center", timeout);
  if (!window) return "no install center window";
  // The version shows once start-up is over (the splash goes first).
  std::string line;
  WaitFor([&] { return !(line = VersionLineOf(window)).empty(); }, 30s);
  EXPECT_TRUE(CloseAndWaitForExit(window, 30s));
  return line;
}

}  // namespace twitest
