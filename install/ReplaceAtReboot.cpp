#include "install/ReplaceAtReboot.h"

#include <windows.h>

#include <optional>
#include <vector>

#include "base/DoEvents.h"
#include "base/FileTable.h"
#include "base/ReplaceContent.h"
#include "base/TextConv.h"
#include "base/Trap.h"
#include "base/cSharedOSInfo.h"
#include "diag/cSharedLogging.h"
#include "install/CopyToSysFolder.h"
#include "install/MainWindowView.h"
#include "sys/SystemFolders.h"
#include "sys/cSharedFileSubs.h"

namespace twi::install {
namespace {

// The lines of an init file (CR LF or LF ends; a last line without one counts).
std::vector<std::string> SplitIniLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

// Where a new entry of the first [rename] section goes: after its last line.
std::optional<std::size_t> RenameSectionEnd(const std::vector<std::string>& lines) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (UpperAscii(Trim(lines[i])) != "[RENAME]") continue;
    std::size_t end = i + 1;
    while (end < lines.size() && Trim(lines[end]).rfind('[', 0) != 0) ++end;
    while (end > i + 1 && Trim(lines[end - 1]).empty()) --end;  // before trailing blank lines
    return end;
  }
  return std::nullopt;
}

// Writes `lines` as the whole of the init file, through a file beside it. Throws the
// write's error (the old file is then unchanged).
void RewriteInitFile(const std::string& initFile, const std::vector<std::string>& lines) {
  std::string content;
  for (const std::string& line : lines) content += line + "\r\n";
  std::optional<RuntimeError> error;
  switch (ReplaceContent(initFile, Utf8ToAnsi(content), error)) {
    case ReplaceOutcome::Replaced: return;
    case ReplaceOutcome::WriteFailed: throw *error;
    case ReplaceOutcome::NotCreated:
    case ReplaceOutcome::ReplaceRefused: break;
  }
  throw RuntimeError(err::PermissionDenied, initFile + " could not be replaced");
}

}  // namespace

std::string TemporaryNameFor(const std::string& systemFolder, const std::string& fileName) {
  return ReplaceAll(ReplaceAll(UpperAscii(systemFolder + fileName), ".OCX", ".TMP"), ".DLL",
                    ".TMP");
}

void ReplaceAtReboot(MainWindowView& w, const std::string& sourcePath, const std::string& fileName,
                     const std::string& systemFolder) {
  w.SetStatus("System file in use. Adding commands to wininit.ini");
  DoEvents();
  const std::string temporary = TemporaryNameFor(systemFolder, fileName);
  const std::string target = systemFolder + fileName;
  w.SetStatus("Copying " + sourcePath + " to " + temporary);
  DoEvents();
  long copied = TheFileSubs().CopyFileWithRetCode(sourcePath, temporary);
  if (copied != copyresult::Copied) {
    // Without the new file beside the old one a reboot would change nothing.
    w.SetStatus(sourcePath + " could not be copied to " + temporary + ": " +
                CopyFailureReason(copied) + " (" + std::to_string(copied) + ")");
    return;
  }
  // What start-up carries out runs without the 32-bit program's view of the system
  // folder, so the entries name the files by their own paths.
  const std::string bootFolder = PathWithoutRedirection(systemFolder);
  const std::string bootTemporary = TemporaryNameFor(bootFolder, fileName);
  const std::string bootTarget = bootFolder + fileName;
  std::string windowsFolder = GetWindowsFolder();
  w.SetStatus("Windows Path: " + windowsFolder);
  DoEvents();
  std::string initFile = windowsFolder + "wininit.ini";
  w.SetStatus("Wininit.ini file: " + initFile);
  const bool existed = TheFileSubs().FileExists(initFile);
  std::vector<std::string> lines;
  if (existed) {
    std::string text;
    TheFileSubs().LoadTextFile(initFile, text);
    lines = SplitIniLines(text);
  }
  ScopedFile file(initFile, existed ? FileMode::Append : FileMode::Output);
  w.SetStatus((existed ? "Adding to " : "Creating ") + initFile);
  if (TheOSInfo().IsWindows95()) {
    w.SetStatus("Windows 9x style init file");
    const std::string entry = bootTarget + "=" + bootTemporary;
    std::optional<std::size_t> end = RenameSectionEnd(lines);
    if (!end) {
      TheFiles().WriteLine(file.Number(), "[rename]");
      TheFiles().WriteLine(file.Number(), entry);
    } else {
      // Start-up carries out one [rename] section, the first: a second group
      // would never be read, so the entry joins the section that is there. The whole
      // file is written anew beside the old one, which it replaces only once complete:
      // a write that fails must not lose other programs' pending renames.
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*end), entry);
      file.Close();
      RewriteInitFile(initFile, lines);
    }
  } else {
    w.SetStatus("Windows NT style init file");
    TheFiles().WriteLine(file.Number(), "MoveFileEx(" + bootTemporary + "," + bootTarget +
                                            ", MOVEFILE_DELAY_UNTIL_REBOOT);");
    // The line above is a record only: the NT family never reads wininit.ini.
    if (!MoveFileExW(ToWide(bootTemporary).c_str(), ToWide(bootTarget).c_str(),
                     MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING))
      TheLog().LogEvent("The system refused to replace " + bootTarget + " at the next reboot: " +
                        ErrorText(RuntimeError::FromLastError()));
  }
  file.Close();
  w.RemindOfRebootAtExit();
}

}  // namespace twi::install
