#pragma once
// The program's log, log.txt in the program folder. Events are written at
// once, one line per call; actions (trapped errors, debugging notes) are kept
// in memory and written in a batch when the 21st arrives. Every line reads
// "<file number> HH:mm:ss, <text>".
//
// Logging never interrupts the work: an event line that cannot be written
// (another program holds the file, the folder is read-only) is kept, with its
// time, and written before the next line that can be; actions that cannot be
// written stay pending for the next batch. The log opens its file itself and
// never records a failure of its own.
#include <string>
#include <vector>

#include "base/Date.h"

namespace twi {

class cSharedLogging {
 public:
  cSharedLogging() = default;
  // Writes the actions still pending. The shared log is never destroyed, so
  // what it holds at exit is not written.
  ~cSharedLogging();
  cSharedLogging(const cSharedLogging&) = delete;
  cSharedLogging& operator=(const cSharedLogging&) = delete;

  void LogEvent(const std::string& logMessage, bool deleteFirst = false);
  void LogToFile(const std::string& logFilename, const std::string& logMessage,
                 bool deleteFirst = false);
  void AddAction(const std::string& actionString, const std::string& subName = "",
                 const std::string& moduleName = "");
  void AddDebug(const std::string& debugString, const std::string& subName = "",
                const std::string& moduleName = "");
  void WriteActionsToLog();
  const std::string& CurrentLogFilename() const { return logFilename_; }
  bool NOLOGGING = false;

  // Where the log goes when nothing has set the file name yet: the program
  // folder's log.txt. Tests point a log object elsewhere with this.
  void SetLogFilename(const std::string& path) { logFilename_ = path; }
  size_t PendingActionCount() const { return actionTexts_.size(); }
  size_t PendingEventCount() const { return pendingEvents_.size(); }

  // "<number> HH:mm:ss, <text>".
  static std::string FormatLine(int fileNumber, const std::string& text, const Date& when);

 private:
  struct PendingLine {
    std::string text;
    Date when;
  };
  void EnsureFilename();
  void WriteHeader(int fileNumber);
  void RecordAction(std::string text);

  std::string logFilename_;
  std::vector<std::string> actionTexts_;
  std::vector<Date> actionTimes_;
  std::vector<PendingLine> pendingEvents_;
};

cSharedLogging& TheLog();

}  // namespace twi
