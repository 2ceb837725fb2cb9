// Packages held against the maker's signatures: the main server's signed list of
// runtime packages (runtimes/SHA256SUMS and its .sig) and a program's signed version
// file with its installer's sha256 line, served by the fixture HTTP server and
// signed here with the build's test key. A refused file is erased; nothing of it is
// unpacked, copied, registered or run; one box says why and the log names the file.
#include <functional>

#include "packages/PackageFixture.h"
#include "settings/cSHAREDSettings.h"
#include "support/MakerSigner.h"
#include "support/ProgramInstallers.h"

namespace {

constexpr const char* kSignedProgram = "Signed served installer";

class SignedPackages : public PackageTest {
 protected:
  void SetUp() override {
    PackageTest::SetUp();
    Unsigned();
  }
  // The suites after this one meet an unsigned site again.
  void TearDown() override {
    Unsigned();
    for (const char* file : {"QNV4_current.txt", "QNV4_current.txt.sig"})
      DeleteFileW(twi::ToWide(twitest::ServedFile(std::string("main/versions/") + file)).c_str());
  }
  // The servers as they were published, signing nothing, and no server remembered.
  static void Unsigned() {
    twitest::PublishMakersServers();
    for (const char* server : {"main", "second"})
      for (const char* file : {"SHA256SUMS", "SHA256SUMS.sig"})
        DeleteFileW(twi::ToWide(Runtimes(server, file)).c_str());
    twi::TheSettings().sSet("SignedServers", "");
    twi::TheSettings().sSet("RequireSignatures", false);
  }
  static std::string Runtimes(const std::string& server, const std::string& name) {
    return twitest::ServedFile(server + "/runtimes/" + name);
  }
  static std::string List() { return Runtimes("main", "SHA256SUMS"); }
  static void Write(const std::string& path, const std::string& bytes) {
    twitest::WriteFileBytes(path, bytes);
  }
  static std::string Read(const std::string& path) { return twitest::ReadFileBytes(path); }
  // One byte of the file changed, in its middle.
  static void FlipAByte(const std::string& path) {
    std::string bytes = Read(path);
    bytes[bytes.size() / 2] ^= 0x01;
    Write(path, bytes);
  }
  // Nothing of the package arrived in the system folder or stayed in the program folder,
  // and exactly one box was shown, containing `box`.
  void ExpectRefused(const std::string& box, size_t boxesBefore) {
    std::vector<std::string> prompts = Prompts();
    prompts.erase(prompts.begin(), prompts.begin() + static_cast<long>(boxesBefore));
    ASSERT_EQ(prompts.size(), 1u) << Shown();
    EXPECT_NE(prompts[0].find(box), std::string::npos) << prompts[0];
    EXPECT_TRUE(sandbox.NewInSystemFolder().empty());
    EXPECT_FALSE(twitest::PathExists(ProgramFile(kPackage)));
    EXPECT_FALSE(twitest::PathExists(ProgramFile(kControl)));
    EXPECT_FALSE(Showed("Unpacked ")) << Shown();
  }

  twitest::MakerSigner maker = twitest::MakerSigner::TestKey();
};

TEST_F(SignedPackages, ARefusedPackageOrListInstallsNothing) {
  const std::string sig = List() + ".sig";
  struct Case {
    const char* name;
    std::function<void()> make;
    std::string box, logged;
  } cases[] = {
      {"package changed by one byte", [&] { maker.SignRuntimes(twitest::ServedFile("main"));
                                            FlipAByte(Runtimes("main", kPackage)); },
       "is not the file the maker signed", "refused: SHA-256 expected "},
      {"list changed by one byte", [&] { maker.SignRuntimes(twitest::ServedFile("main"));
                                         FlipAByte(List()); },
       "did not verify", "SHA256SUMS: refused: "},
      {"signature of 63 bytes", [&] { maker.SignRuntimes(twitest::ServedFile("main"));
                                      Write(sig, Read(sig).substr(0, 63)); },
       "did not verify", "SHA256SUMS: refused: "},
      {"empty signature", [&] { maker.SignRuntimes(twitest::ServedFile("main")); Write(sig, ""); },
       "did not verify", "SHA256SUMS: refused: "},
      {"signature by a key no build trusts",
       [&] { maker.SignRuntimes(twitest::ServedFile("main"));
             twitest::MakerSigner::UntrustedKey().SignFile(List()); },
       "did not verify", "SHA256SUMS: refused: "},
      {"signature answered with an HTML page",
       [&] { maker.SignRuntimes(twitest::ServedFile("main"));
             Write(sig, "<HTML><BODY>Moved elsewhere</BODY></HTML>"); },
       "did not verify", "SHA256SUMS: refused: "},
      {"signed list with a malformed line",
       [&] { maker.SignRuntimes(twitest::ServedFile("main"));
             Write(List(), Read(List()) + "not a hash line\n"); maker.SignFile(List()); },
       "cannot be read", "SHA256SUMS: refused: "},
      {"signed list without the package",
       [&] { maker.SignRuntimes(twitest::ServedFile("main"));
             std::string kept;
             std::string list = Read(List());
             for (size_t at = 0, end; at < list.size(); at = end + 1) {
               end = list.find('\n', at);
               if (end == std::string::npos) end = list.size();
               std::string line = list.substr(at, end - at);
               if (line.find(kPackage) == std::string::npos) kept += line + "\n";
             }
             Write(List(), kept); maker.SignFile(List()); },
       "is not among the files the maker signed", "names no SHA-256 for it"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Unsigned();  // the intact package again
    c.make();
    const size_t before = boxes.Calls().size();
    InstallControlRow();
    ExpectRefused(c.box, before);
    EXPECT_TRUE(Failed(kControlRow));
    EXPECT_TRUE(Showed(c.logged)) << Shown();
  }
}

// The list as the maker's tool writes it (with the hashes in upper case, which are
// the same hashes): the package is verified and installed, and the server is
// remembered as one that signs.
TEST_F(SignedPackages, ASignedPackageIsVerifiedAndInstalled) {
  maker.SignRuntimes(twitest::ServedFile("main"));
  Write(List(), twi::UpperAscii(Read(List())));
  std::string list = Read(List());
  ASSERT_NE(list.find("MSCOMCTL.ZIP"), std::string::npos);
  Write(List(), twi::ReplaceAll(list, "MSCOMCTL.ZIP", "MSCOMCTL.zip"));
  maker.SignFile(List());
  InstallControlRow();
  EXPECT_TRUE(Passed(kControlRow)) << Shown();
  EXPECT_TRUE(Prompts().empty()) << Shown();
  EXPECT_TRUE(Showed("SHA256SUMS: signature verified")) << Shown();
  EXPECT_TRUE(Showed(std::string(kPackage) + ": verified (SHA-256 " +
                     twitest::Sha256HexOf(Runtimes("main", kPackage)) + ")"))
      << Shown();
  EXPECT_EQ(twi::TheSettings().TextOf("SignedServers"), twitest::ServedUrl("main/"));
}

// A server that signs nothing: the package installs as before, logged as not verified.
TEST_F(SignedPackages, AnUnsignedServerStillInstallsAndSaysNotVerified) {
  InstallControlRow();
  EXPECT_TRUE(Passed(kControlRow)) << Shown();
  EXPECT_TRUE(Prompts().empty()) << Shown();
  EXPECT_TRUE(Showed(std::string(kPackage) + ": not verified")) << Shown();
  EXPECT_EQ(twi::TheSettings().TextOf("SignedServers"), "");
}

// After a server's signature once verified, or where the administrator requires
// signatures, an unsigned reply is refused like a wrong one: no way back down.
TEST_F(SignedPackages, OnceSignedOrRequiredAnUnsignedReplyIsRefused) {
  struct Case {
    const char* name;
    std::function<void()> make;
    std::string box;
  } cases[] = {
      {"the list gone after one signed reply",
       [&] { twi::TheSettings().sSet("SignedServers", twitest::ServedUrl("main/")); },
       "could not be fetched"},
      {"the list left without its signature",
       [&] { maker.SignRuntimes(twitest::ServedFile("main"));
             DeleteFileW(twi::ToWide(List() + ".sig").c_str());
             twi::TheSettings().sSet("SignedServers", twitest::ServedUrl("main/")); },
       "without the maker's signature"},
      {"signatures required, a server that never signed",
       [&] { twi::TheSettings().sSet("RequireSignatures", true); }, "could not be fetched"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Unsigned();
    c.make();
    const size_t before = boxes.Calls().size();
    InstallControlRow();
    ExpectRefused(c.box, before);
    EXPECT_TRUE(Failed(kControlRow));
  }
}

// "Download and Install Program" with a signed version file: the installer runs only
// when its SHA-256 is the one the version file's signed sha256 line gives.
TEST_F(SignedPackages, AProgramsInstallerRunsOnlyWhenItsSignedHashMatches) {
  const std::string versionFile = twitest::ServedFile("main/versions/QNV4_current.txt");
  const std::string installer = twitest::ServedFile("main/signed-setup.exe");
  const std::string address = twitest::ServedUrl("main/signed-setup.exe");
  CreateDirectoryW(twi::ToWide(twitest::ServedFile("main/versions")).c_str(), nullptr);
  struct Case {
    const char* name;
    std::function<void()> make;
    bool runs;
    std::string box;
  } cases[] = {
      {"installer changed after signing",
       [&] { maker.WriteVersionFile(versionFile, "9.9.9", address, installer);
             FlipAByte(installer); },
       false, "is not the file the maker signed"},
      {"version file changed after signing",
       [&] { maker.WriteVersionFile(versionFile, "9.9.9", address, installer);
             Write(versionFile, twi::ReplaceAll(Read(versionFile), "9.9.9", "9.9.8")); },
       false, "did not verify"},
      {"two sha256 lines",
       [&] { maker.WriteVersionFile(versionFile, "9.9.9", address, installer);
             Write(versionFile, Read(versionFile) + "sha256 " + std::string(64, 'a') + "\r\n");
             maker.SignFile(versionFile); },
       false, "more than once"},
      {"signed without a sha256 line",
       [&] { maker.WriteVersionFile(versionFile, "9.9.9", address, ""); },
       false, "is not among the files the maker signed"},
      // Last: the log then holds "Running Installer", which the cases above must not.
      {"installer as signed", [&] { maker.WriteVersionFile(versionFile, "9.9.9", address,
                                                           installer); },
       true, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    twitest::MakeStandInInstaller(installer, kSignedProgram, "9.9.9");
    DeleteFileW(twi::ToWide(twitest::InstalledVersionFile(kSignedProgram)).c_str());
    c.make();
    const size_t before = boxes.Calls().size();
    Select("qNovel4");
    twitest::ClickButton(window.cmdInstallProg);
    EXPECT_EQ(twitest::PathExists(twitest::InstalledVersionFile(kSignedProgram)), c.runs) << Shown();
    std::vector<std::string> prompts = Prompts();
    prompts.erase(prompts.begin(), prompts.begin() + static_cast<long>(before));
    bool boxShown = false;
    for (const std::string& prompt : prompts) boxShown |= prompt.find(c.box) != std::string::npos;
    if (!c.runs) {
      EXPECT_TRUE(boxShown) << Shown();
      EXPECT_FALSE(twitest::PathExists(ProgramFile("signed-setup.exe")));
      EXPECT_FALSE(Showed("Running Installer")) << Shown();
    }
    DeleteFileW(twi::ToWide(ProgramFile("signed-setup.exe")).c_str());
  }
}

}  // namespace
