#pragma once
// Stand-in program installers (tests/fixtures/programs): a copy of the stand-in
// under a package's file name, told what to install and how to end.
#include <windows.h>
#include <shlobj.h>

#include <string>

#include "base/TextConv.h"
#include "support/TestSupport.h"

namespace twitest {

// Writes the stand-in installer to `path` with its settings line: it will make
// <Program Files>\Tarnwick Software\<program>\version.txt holding `version`
// after `seconds` and end with `exitCode`.
inline void MakeStandInInstaller(const std::string& path, const std::string& program,
                                 const std::string& version, int exitCode = 0,
                                 double seconds = 0) {
  std::string bytes =
      ReadFileBytes(WindowsPathOf(TWI_FIXTURE_DIR) + "\\programs\\StandInInstaller.exe");
  bytes += "\r\nTWI-STANDIN-INSTALLER program=" + program + ";version=" + version +
           ";exit=" + std::to_string(exitCode) + ";seconds=" + std::to_string(seconds) + "\r\n";
  WriteFileBytes(path, bytes);
}

// Where the stand-in installer puts a program's version file: the program files folder
// as a 32-bit program sees it ("Program Files (x86)" on 64-bit Windows).
inline std::string InstalledVersionFile(const std::string& program) {
  wchar_t programFiles[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, programFiles);
  return twi::ToUtf8(programFiles) + "\\Tarnwick Software\\" + program + "\\version.txt";
}

}  // namespace twitest
