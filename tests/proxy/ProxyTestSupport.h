#pragma once
// Shared by the proxy tests: a fresh store and log for each test, and the
// log's lines written so far (pending actions included).
#include <string>
#include <vector>

#include "diag/cSharedLogging.h"
#include "settings/cSHAREDSettings.h"
#include "support/TestSupport.h"

namespace proxytest {

// The password tests/server/start-proxy's tinyproxy asks for (user "twi").
constexpr char kProxyUser[] = "twi";
constexpr char kProxyPassword[] = "tw-pass.99_x";

inline void FreshSettingsAndLog() {
  twi::TheSettings().DeleteAllSettings();
  twi::TheLog().WriteActionsToLog();  // earlier tests' actions go to the old file
  twi::TheLog().LogEvent("proxy tests", true);
}

// The texts of the log's lines, pending actions written first.
inline std::vector<std::string> LogTexts() {
  twi::TheLog().WriteActionsToLog();
  std::vector<std::string> texts;
  for (const std::string& line :
       twitest::SplitLines(twitest::ReadFileBytes(twi::TheLog().CurrentLogFilename())))
    if (!line.empty()) texts.push_back(twitest::LogTextOf(line));
  return texts;
}

inline bool Contains(const std::vector<std::string>& texts, const std::string& text) {
  for (const std::string& t : texts)
    if (t == text) return true;
  return false;
}

}  // namespace proxytest
