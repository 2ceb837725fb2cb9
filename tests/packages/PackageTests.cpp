// What the installers make of a package that does not unpack cleanly: an error
// inside the zip class, a ready copy in Local that cannot be put in the program
// folder, and a warning for which the zip library prints no text.
#include "PackageFixture.h"
#include "base/FileSystem.h"
#include "install/UnzipPackage.h"
#include "ui/InputBox.h"

namespace {

// The password question fails inside the zip class: the error is shown as the
// unpacking's, and nothing says the package was unpacked or leaves any of it.
TEST_F(PackageTest, AnErrorInsideTheZipClassIsNeverReportedAsUnpacked) {
  twitest::ScratchFolder target;
  ui::SetInputBoxAnswerer([](const ui::InputBoxCall&) -> std::string {
    throw twi::RuntimeError(70, "Permission denied");
  });
  bool unpacked = twi::install::Unzip(window, HostileFolder(), "twomegabytes.zip", target.Path());
  ui::SetInputBoxAnswerer(nullptr);
  EXPECT_FALSE(unpacked);
  EXPECT_EQ(window.Status(), "Unzip: Permission denied");
  EXPECT_FALSE(Logged("Unpacked ")) << LogDump();
  EXPECT_TRUE(Prompts().empty());
  EXPECT_TRUE(twitest::FolderNames(target.Path()).empty())
      << ::testing::PrintToString(twitest::FolderNames(target.Path()));
}

// The program folder's copy of the package is in use, so the ready copy in Local
// cannot replace it: the install ends there, with the reason, and the older file
// in the program folder is not unpacked in its place.
TEST_F(PackageTest, ALocalCopyThatCannotBeCopiedEndsTheInstall) {
  const std::string local = ProgramFile("Local");
  CreateDirectoryW(twi::ToWide(local).c_str(), nullptr);
  const std::string served = twitest::ServedFile(std::string("main/runtimes/") + kPackage);
  ASSERT_TRUE(
      CopyFileW(twi::ToWide(served).c_str(), twi::ToWide(local + "\\" + kPackage).c_str(), FALSE));
  ASSERT_TRUE(
      CopyFileW(twi::ToWide(served).c_str(), twi::ToWide(ProgramFile(kPackage)).c_str(), FALSE));
  twitest::HeldOpen held(ProgramFile(kPackage));
  ASSERT_TRUE(held.Holding());
  InstallControlRow();
  const std::string reason = "The local copy " + local + "\\" + kPackage +
                             " could not be copied to " + ProgramFile(kPackage) +
                             ": the file there is in use (70)";
  EXPECT_EQ(window.Status(), "Error while downloading: " + reason) << LogDump();
  EXPECT_TRUE(Logged("DownloadFile: "));
  EXPECT_FALSE(Logged("Unpacked ")) << LogDump();
  EXPECT_FALSE(Logged(ProgramFile(kControl) + " copied to "));
  EXPECT_TRUE(Failed(kControlRow));
  EXPECT_TRUE(sandbox.NewInSystemFolder().empty());
  held.Release();
  twi::RemoveTree(local);
}

// A name that climbs out of the target folder is kept inside it with a warning,
// which the zip library does not print at the install center's message level:
// the box says so in a sentence of the install center's own, and the control
// still installs.
TEST_F(PackageTest, AWarningWithoutTextIsShownInASentenceOfOurOwn) {
  ServeAsControlPackage(HostileFolder() + "climbing.zip");
  InstallControlRow();
  EXPECT_EQ(Prompts(), (std::vector<std::string>{
                           "Unpacking MSCOMCTL.zip ended with the zip library's result code 1 (a "
                           "warning), and the library gave no text for it."}));
  EXPECT_TRUE(Passed(kControlRow));
  EXPECT_EQ(sandbox.NewInSystemFolder(), std::vector<std::string>{kControl});
}

}  // namespace
