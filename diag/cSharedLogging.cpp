#include "diag/cSharedLogging.h"

#include <windows.h>

#include "base/AppInfo.h"
#include "base/FileSystem.h"
#include "base/FileTable.h"
#include "base/NoDestructor.h"
#include "base/TextConv.h"
#include "base/Trap.h"
#include "base/cSharedOSInfo.h"

namespace twi {
namespace {

std::string CurrentDirectory() {
  wchar_t buffer[MAX_PATH * 2] = {};
  DWORD n = GetCurrentDirectoryW(MAX_PATH * 2, buffer);
  return ToUtf8(std::wstring_view(buffer, n));
}

// Opens the log for appending under the lowest free file number, creating a
// missing file and clearing a read-only attribute first, as the file services
// open any file for appending. The log opens its file itself, not through the
// file services: they record their failures in the log, and a failure of the
// log must never come back to the log. Empty when the file cannot be opened.
ScopedFile OpenForAppending(const std::string& path) {
  std::wstring wide = ToWide(path);
  DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    SetFileAttributesW(wide.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  ScopedFile file;
  Ignoring([&] { file = ScopedFile(path, FileMode::Append); });
  return file;
}

}  // namespace

cSharedLogging::~cSharedLogging() { WriteActionsToLog(); }

std::string cSharedLogging::FormatLine(int fileNumber, const std::string& text, const Date& when) {
  return std::to_string(fileNumber) + " " + when.TimeText() + ", " + text;
}

void cSharedLogging::EnsureFilename() {
  if (logFilename_.empty()) logFilename_ = WithTrailingBackslash(AppFolder()) + "log.txt";
}

void cSharedLogging::LogEvent(const std::string& logMessage, bool deleteFirst) {
  if (NOLOGGING) return;
  EnsureFilename();
  LogToFile(logFilename_, logMessage, deleteFirst);
}

void cSharedLogging::WriteHeader(int n) {
  FileTable& files = TheFiles();
  files.WriteLine(n, FormatLine(n, "Log file created ", Date::Now()));
  files.WriteLine(n, FormatLine(n, "Operating System: " + TheOSInfo().fOSName(), Date::Now()));
  files.WriteLine(n, FormatLine(n, "App: " + AppExeName(), Date::Now()));
  files.WriteLine(n, FormatLine(n, "Version: " + AppVersionText(), Date::Now()));
  files.WriteLine(n, FormatLine(n, "Curdir: " + CurrentDirectory(), Date::Now()));
  files.WriteLine(n, FormatLine(n, "App path: " + AppFolder(), Date::Now()));
}

void cSharedLogging::LogToFile(const std::string& logFilename, const std::string& logMessage,
                               bool deleteFirst) {
  if (NOLOGGING) return;
  PendingLine line{logMessage, Date::Now()};
  // An old log that cannot be erased (another program holds it) is appended to.
  if (deleteFirst && RemoveFile(logFilename) != 0) deleteFirst = false;
  bool written = Ignoring([&] {
    ScopedFile file(logFilename, deleteFirst ? FileMode::Output : FileMode::Append);
    const int n = file.Number();
    if (deleteFirst) WriteHeader(n);
    FileTable& files = TheFiles();
    for (const PendingLine& earlier : pendingEvents_)
      files.WriteLine(n, FormatLine(n, earlier.text, earlier.when));
    files.WriteLine(n, FormatLine(n, line.text, line.when));
  });
  // A line that cannot be written is kept for the next write that succeeds;
  // the work goes on.
  if (written)
    pendingEvents_.clear();
  else
    pendingEvents_.push_back(std::move(line));
}

void cSharedLogging::RecordAction(std::string text) {
  if (NOLOGGING) return;
  actionTexts_.push_back(std::move(text));
  actionTimes_.push_back(Date::Now());
  if (actionTexts_.size() > 20) WriteActionsToLog();
}

void cSharedLogging::AddAction(const std::string& actionString, const std::string& subName,
                               const std::string& moduleName) {
  std::string text = actionString;
  if (!subName.empty()) text += " in " + subName;
  if (!moduleName.empty()) text += " of module " + moduleName;
  RecordAction(std::move(text));
}

void cSharedLogging::AddDebug(const std::string& debugString, const std::string& subName,
                              const std::string& moduleName) {
  AddAction("DBG: " + debugString, subName, moduleName);
}

void cSharedLogging::WriteActionsToLog() {
  if (NOLOGGING || actionTexts_.empty()) return;
  // A batch before any event has named the file goes to the usual log file.
  EnsureFilename();
  ScopedFile file = OpenForAppending(logFilename_);
  if (!file) return;  // kept for the next attempt
  const int n = file.Number();
  FileTable& files = TheFiles();
  // What cannot be written stays pending.
  Ignoring([&] {
    while (!actionTexts_.empty()) {
      files.WriteLine(n, FormatLine(n, actionTexts_.front(), actionTimes_.front()));
      actionTexts_.erase(actionTexts_.begin());
      actionTimes_.erase(actionTimes_.begin());
    }
  });
}

cSharedLogging& TheLog() { return SharedInstance<cSharedLogging>(); }

}  // namespace twi
