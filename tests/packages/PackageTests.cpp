// What the installers make of a package that does not unpack cleanly: an error
// inside the zip class, and a warning for which the zip library prints no text.
#include "PackageFixture.h"
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
