#include "diag/cSharedLogging.h"

#include <windows.h>

#include "sys/AppInfo.h"
#include "sys/FileTable.h"
#include "sys/RuntimeError.h"
#include "sys/TextConv.h"
#include "sys/cSHAREDSubs.h"
#include "sys/cSharedFileSubs.h"
#include "sys/cSharedOSInfo.h"

namespace twi {
namespace {

std::string CurrentDirectory() {
  wchar_t buffer[MAX_PATH * 2] = {};
  DWORD n = GetCurrentDirectoryW(MAX_PATH * 2, buffer);
  return ToUtf8(std::wstring_view(buffer, n));
}

}  // namespace

std::string ErrorActionText(const std::string& description, long number) {
  return description + " (" + std::to_string(number) + ")";
}

cSharedLogging::~cSharedLogging() {
  try {
    WriteActionsToLog();
  } catch (...) {
  }
}

std::string cSharedLogging::FormatLine(int fileNumber, const std::string& text, const Date& when) {
  return std::to_string(fileNumber) + " " + when.TimeText() + ", " + text;
}

void cSharedLogging::EnsureFilename() {
  if (logFilename_.empty()) logFilename_ = TheFileSubs().AddSlashIfMissing(AppFolder()) + "log.txt";
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
  files.WriteLine(n, FormatLine(n, "Version: " + TheSubs().AppVersion(), Date::Now()));
  files.WriteLine(n, FormatLine(n, "Curdir: " + CurrentDirectory(), Date::Now()));
  files.WriteLine(n, FormatLine(n, "App path: " + AppFolder(), Date::Now()));
}

void cSharedLogging::LogToFile(const std::string& logFilename, const std::string& logMessage,
                               bool deleteFirst) {
  if (NOLOGGING) return;
  PendingLine line{logMessage, Date::Now()};
  if (deleteFirst) {
    TheFileSubs().EraseFile(logFilename);
    if (TheFileSubs().FileExists(logFilename)) deleteFirst = false;
  }
  FileTable& files = TheFiles();
  int n = 0;
  try {
    n = files.Open(logFilename, deleteFirst ? FileMode::Output : FileMode::Append);
    if (deleteFirst) WriteHeader(n);
    for (const PendingLine& earlier : pendingEvents_)
      files.WriteLine(n, FormatLine(n, earlier.text, earlier.when));
    files.WriteLine(n, FormatLine(n, line.text, line.when));
    files.Close(n);
    pendingEvents_.clear();
  } catch (const RuntimeError&) {
    // Keep the line for the next write that succeeds; the work goes on.
    if (n) files.Close(n);
    pendingEvents_.push_back(std::move(line));
  }
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
  int n = TheFileSubs().OpenAppendFile(logFilename_);
  if (n <= 0) return;  // kept for the next attempt
  FileTable& files = TheFiles();
  try {
    while (!actionTexts_.empty()) {
      files.WriteLine(n, FormatLine(n, actionTexts_.front(), actionTimes_.front()));
      actionTexts_.erase(actionTexts_.begin());
      actionTimes_.erase(actionTimes_.begin());
    }
  } catch (const RuntimeError&) {
    // What is left stays pending.
  }
  files.Close(n);
}

cSharedLogging& TheLog() {
  static cSharedLogging log;
  return log;
}

}  // namespace twi
