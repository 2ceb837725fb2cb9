// Hostile packages, one row each: how the package (or the installer's address) is
// made, the road it takes into the install center, what must happen and what must
// be left. The packages are made at build time by make_hostile.py; the small disk
// is a 4 MB tmpfs that tests/server/start-fsfaults mounts for the run (rows on it
// are skipped, with the reason, where mounting is refused).
#include <algorithm>
#include <map>
#include <memory>

#include "PackageFixture.h"
#include "base/FileSystem.h"
#include "install/UnzipPackage.h"
#include "support/ProgramInstallers.h"
#include "ui/InputBox.h"

namespace {

enum class Road {
  InstallRow,        // served as MSCOMCTL.zip, "Install" on its row
  UnzipToSmallDisk,  // the installers' Unzip into a folder on the 4 MB disk
  DownloadProgram,   // the address qNovel4's version file names as its installer
};

// What a row puts in place before its road.
enum class Before {
  Nothing,
  StaleControl,         // MsComCtl.ocx left in the program folder by an earlier run
  OwnFiles,             // the install center's own files, with known bytes
  ShortNameOfSettings,  // the package's placeholder entry renamed to the settings file's 8.3 name
  FillDiskAtPassword,   // another program fills the disk while the password is asked
  HeldInstaller,        // an installer of that name, in use (held open) and runnable
};

struct Hostile {
  const char* name;
  // How it is made: a package of make_hostile.py, or the last part of the address.
  const char* made;
  Road road;
  Before before;
  // What must happen: texts a message box or the status line shows, and never shows.
  std::vector<std::string> shows;
  std::vector<std::string> neverShows;
  bool controlInstalled;  // the row turns to "OK" (its control copied and registered)
  // What must be left: the names new in the program folder besides what the row put
  // in place before (which keeps its bytes); the run's log and settings aside.
  std::vector<std::string> newInProgramFolder;
};

void PrintTo(const Hostile& h, std::ostream* out) { *out << h.name << " (" << h.made << ")"; }

const std::string kNotInstalled =
    "MSCOMCTL.zip could not be unpacked, so nothing of it was installed.";
const std::string kOwnFilesLeftOut = "MSCOMCTL.zip holds files of the install center's own";
const std::string kNoSpace = "error:  not enough disk space for ";
const std::vector<std::string> kOwnFiles = {"Updater.exe", "TWInstaller.ini", "Help\\Index.htm",
                                            "updater.ini", "log.txt"};
// The stand-in installer that a run must not start; what it installs when it runs.
constexpr const char* kHeldProgram = "Hostile held installer";

class HostilePackages : public PackageTest, public ::testing::WithParamInterface<Hostile> {
 protected:
  void TearDown() override {
    held_.reset();
    if (!filler_.empty()) DeleteFileW(twi::ToWide(filler_).c_str());
    if (GetParam().road == Road::UnzipToSmallDisk) twi::RemoveTree(Target());
    ui::SetInputBoxAnswerer(nullptr);
    DeleteFileW(twi::ToWide(twitest::InstalledVersionFile(kHeldProgram)).c_str());
  }

  std::string SmallDisk() const { return twitest::ServerFile("fsfaults\\small"); }
  std::string Target() const { return SmallDisk() + "\\target"; }

  // Files planted before the road, with the bytes they must keep.
  void Plant(const std::string& relative, const std::string& bytes) {
    std::string path = ProgramFile(relative);
    size_t slash = relative.find('\\');
    if (slash != std::string::npos)
      CreateDirectoryW(twi::ToWide(ProgramFile(relative.substr(0, slash))).c_str(), nullptr);
    twitest::WriteFileBytes(path, bytes);
    planted_[relative] = twitest::ReadFileBytes(path);
  }

  void PutInPlace(const Hostile& h) {
    switch (h.before) {
      case Before::Nothing:
        break;
      case Before::StaleControl:
        Plant(kControl, twitest::ReadFileBytes(twitest::StandInPath(kControl)));
        break;
      case Before::OwnFiles:
        for (const std::string& name : kOwnFiles)
          Plant(name, "the install center's own " + name + "\r\n");
        break;
      case Before::ShortNameOfSettings:
        PlantShortNamedPackage();
        break;
      case Before::FillDiskAtPassword:
        filler_ = SmallDisk() + "\\filler.bin";
        ui::SetInputBoxAnswerer([this](const ui::InputBoxCall&) {
          EXPECT_TRUE(twitest::FillDisk(filler_));
          return std::string("secret");
        });
        break;
      case Before::HeldInstaller:
        twitest::MakeStandInInstaller(ProgramFile(h.made), kHeldProgram, "6.6.6");
        planted_[h.made] = twitest::ReadFileBytes(ProgramFile(h.made));
        held_ = std::make_unique<twitest::HeldOpen>(ProgramFile(h.made));
        ASSERT_TRUE(held_->Holding());
        break;
    }
  }

  // shortname.zip with its 12-character placeholder entry named as the settings
  // file is on its disk in 8.3 form (Wine makes such names too).
  void PlantShortNamedPackage() {
    Plant("TWInstaller.ini", "the install center's own TWInstaller.ini\r\n");
    wchar_t shortName[MAX_PATH] = {};
    ASSERT_NE(
        GetShortPathNameW(twi::ToWide(ProgramFile("TWInstaller.ini")).c_str(), shortName, MAX_PATH),
        0u);
    std::string name = twi::ToUtf8(shortName);
    name = name.substr(name.find_last_of('\\') + 1);
    if (name.size() != 12 || twi::UpperAscii(name) == "TWINSTALLER.INI")
      GTEST_SKIP() << "the settings file's short name here is \"" << name << "\"";
    std::string bytes = twitest::ReadFileBytes(HostileFolder() + "shortname.zip");
    shortNamed_ = twitest::ServedFile("shortname.zip");
    twitest::WriteFileBytes(shortNamed_, twi::ReplaceAll(bytes, "SHORT~NAME.X", name));
  }

  void Travel(const Hostile& h) {
    switch (h.road) {
      case Road::InstallRow:
        ServeAsControlPackage(shortNamed_.empty() ? HostileFolder() + h.made : shortNamed_);
        InstallControlRow();
        break;
      case Road::UnzipToSmallDisk:
        twi::install::Unzip(window, HostileFolder(), h.made, Target());
        break;
      case Road::DownloadProgram:
        twitest::MakeStandInInstaller(twitest::ServedFile(std::string("main/") + h.made),
                                      "Hostile served installer", "7.7.7");
        DownloadProgramFrom(twitest::ServedUrl(std::string("main/") + h.made));
        break;
    }
  }

  void ExpectWhatMustHappen(const Hostile& h) {
    for (const std::string& text : h.shows) EXPECT_TRUE(Showed(text)) << text << "\n" << Shown();
    for (const std::string& text : h.neverShows)
      EXPECT_FALSE(Showed(text)) << text << "\n" << Shown();
    if (h.road == Road::InstallRow) {
      EXPECT_EQ(Passed(kControlRow), h.controlInstalled);
    }
    EXPECT_EQ(sandbox.NewInSystemFolder(),
              h.controlInstalled ? std::vector<std::string>{kControl} : std::vector<std::string>{});
    EXPECT_FALSE(twitest::PathExists(twitest::InstalledVersionFile(kHeldProgram)))
        << "the held installer ran";
  }

  // The small disk's target folder empty, the program folder as listed, every
  // planted file as it was.
  void ExpectWhatMustBeLeft(const Hostile& h) {
    if (h.road == Road::UnzipToSmallDisk) {
      EXPECT_TRUE(twitest::FolderNames(Target()).empty())
          << ::testing::PrintToString(twitest::FolderNames(Target()));
    }
    std::vector<std::string> expectedNew = h.newInProgramFolder;
    for (const auto& [relative, bytes] : planted_) {
      std::string top = relative.substr(0, relative.find('\\'));
      if (top != "TWInstaller.ini" && top != "log.txt") expectedNew.push_back(top);
      EXPECT_EQ(twitest::ReadFileBytes(ProgramFile(relative)), bytes) << relative << " changed";
    }
    std::sort(expectedNew.begin(), expectedNew.end());
    expectedNew.erase(std::unique(expectedNew.begin(), expectedNew.end()), expectedNew.end());
    std::vector<std::string> found = sandbox.NewInProgramFolder();
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, expectedNew);
  }

  std::map<std::string, std::string> planted_;
  std::unique_ptr<twitest::HeldOpen> held_;
  std::string filler_, shortNamed_;
};

TEST_P(HostilePackages, AreRefusedOrStoppedAndLeaveOnlyWhatTheyMay) {
  const Hostile& h = GetParam();
  if (h.road == Road::UnzipToSmallDisk) {
    std::string available = twitest::FileSystemFault("small");
    if (available != "yes") GTEST_SKIP() << "no small disk can be mounted here: " << available;
  }
  PutInPlace(h);
  if (HasFatalFailure() || IsSkipped()) return;
  Travel(h);
  ExpectWhatMustHappen(h);
  ExpectWhatMustBeLeft(h);
  EXPECT_TRUE(StillAnswers()) << window.Status();
}

const std::vector<std::string> kRowPackage = {"Msinet.oc_", "MSCOMCTL.zip"};
const std::vector<std::string> kRowInstalled = {"Msinet.oc_", "MSCOMCTL.zip", "MsComCtl.ocx"};

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, HostilePackages, testing::Values(
    // A small disk and packages larger than it: stopped, or refused before a byte.
    Hostile{"EntriesInflatingBeyondTheirDeclaredSize", "bomb.zip", Road::UnzipToSmallDisk,
            Before::Nothing, {"bomb01.bin holds more than the 8192 bytes its header declares"},
            {"write error", "Unpacked "}, false, {"Msinet.oc_"}},
    Hostile{"HonestEntriesLargerThanTheFreeSpace", "fivemegabytes.zip", Road::UnzipToSmallDisk,
            Before::Nothing, {kNoSpace}, {"Unpacked "}, false, {"Msinet.oc_"}},
    Hostile{"TheDiskFillsWhileThePackageUnpacks", "twomegabytes.zip", Road::UnzipToSmallDisk,
            Before::FillDiskAtPassword, {"second.bin:  write error (disk full?)."},
            {"Unpacked "}, false, {"Msinet.oc_"}},
    Hostile{"AnExabyteDeclared", "exabyte.zip", Road::InstallRow, Before::Nothing,
            {kNoSpace, kNotInstalled}, {"Unpacked "}, false, kRowPackage},
    // Paths longer than Windows allows: "cannot create", and the run goes on.
    Hostile{"AFolderOf250Characters", "longfolder.zip", Road::InstallRow, Before::Nothing,
            {"cannot create", kNotInstalled}, {"Unpacked "}, false, kRowPackage},
    Hostile{"TwelveFoldersOf23Characters", "deepfolders.zip", Road::InstallRow, Before::Nothing,
            {"cannot create", kNotInstalled}, {"Unpacked "}, false, kRowPackage},
    Hostile{"AFileNameOf300Characters", "longname.zip", Road::InstallRow, Before::Nothing,
            {"cannot create", kNotInstalled}, {"Unpacked "}, false, kRowPackage},
    // The install center's own files inside a package: left out, the rest installs.
    Hostile{"TheInstallCentersOwnFiles", "ownfiles.zip", Road::InstallRow, Before::OwnFiles,
            {kOwnFilesLeftOut + ", which a package never replaces; they were left out: "
                                "Help\\Index.htm, TWINSTALLER.INI, Updater.exe, log.txt, "
                                "updater.ini"},
            {}, true, kRowInstalled},
    Hostile{"TheSettingsFileByItsShortName", "shortname.zip", Road::InstallRow,
            Before::ShortNameOfSettings, {kOwnFilesLeftOut}, {}, true, kRowInstalled},
    // A control left by an earlier run is not installed for a package that failed.
    Hostile{"ABadCrcBesideAStaleControl", "badcrc.zip", Road::InstallRow, Before::StaleControl,
            {"bad CRC", kNotInstalled}, {"Unpacked "}, false, kRowPackage},
    // Installer addresses: the install center's own names, a download that fails.
    Hostile{"AnInstallerNamedAsTheProgramWhileItRuns", "TWInstall.exe", Road::DownloadProgram,
            Before::HeldInstaller,
            {"TWInstall.exe is a file of the install center's own; no download replaces it",
             "Download Failed"},
            {"Running Installer"}, false, {"Msinet.oc_"}},
    Hostile{"AnInstallerNamedAsTheSettingsFile", "TWInstaller.ini", Road::DownloadProgram,
            Before::OwnFiles,
            {"TWInstaller.ini is a file of the install center's own; no download replaces it",
             "Download Failed"},
            {"Running Installer"}, false, {"Msinet.oc_"}},
    Hostile{"AFailedDownloadBesideAnOlderCopyInUse", "setup.exe", Road::DownloadProgram,
            Before::HeldInstaller, {"Download Failed"}, {"Running Installer"}, false,
            {"Msinet.oc_"}}),
    [](const testing::TestParamInfo<Hostile>& info) { return info.param.name; });
// clang-format on

}  // namespace
