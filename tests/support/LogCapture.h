#pragma once
// Points the shared log at a scratch file for the life of the object, so a test
// can read what was logged (events and actions) as texts without time stamps.
#include <string>
#include <vector>

#include "diag/cSharedLogging.h"
#include "support/TestSupport.h"

namespace twitest {

class LogCapture {
 public:
  LogCapture() : previous_(twi::TheLog().CurrentLogFilename()) {
    twi::TheLog().WriteActionsToLog();  // what came before goes where it belongs
    twi::TheLog().SetLogFilename(folder_.File("log.txt"));
  }
  ~LogCapture() {
    twi::TheLog().WriteActionsToLog();
    twi::TheLog().SetLogFilename(previous_);
  }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  // Every text logged so far, pending actions included, in the order written.
  std::vector<std::string> Texts() {
    twi::TheLog().WriteActionsToLog();
    std::vector<std::string> texts;
    for (const std::string& line : SplitLines(ReadFileBytes(folder_.File("log.txt"))))
      texts.push_back(LogTextOf(line));
    return texts;
  }
  bool Contains(const std::string& text) {
    for (const std::string& t : Texts())
      if (t == text) return true;
    return false;
  }

 private:
  ScratchFolder folder_;
  std::string previous_;
};

}  // namespace twitest
