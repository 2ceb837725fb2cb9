#pragma once
// What the user's regional settings say about dates and the words for true and
// false. Learned once, on first use, and recorded in the log.
#include <string>

namespace twi {

struct DateConventions {
  std::string DateFormatString;              // "DD/MM/YYYY", "YYYY-MM-DD", "DD.MM.YY", … or ""
  std::string FullDateFormatString;          // "DD/MMM/YYYY" with the separator adjusted
  std::string FullDateFormatPlusTimeString;  // the above + " HH:MM"
  std::string DateSeparator;                 // "/", "." or "-"
  int SysDateYearField = 0;
  int SysDateMonthField = 0;
  int SysDateDayField = 0;
};

class cSharedDateSubs {
 public:
  const std::string& TrueStr();
  const std::string& FalseStr();
  const DateConventions& Conventions();
  bool TranslateMonthNames();

  // The conventions read from a rendering of 25 December 2001 in the short date format.
  static DateConventions FromShortDateSample(const std::string& sample);

 private:
  void SetupLocale();
  bool setUp_ = false;
  std::string trueStr_, falseStr_;
  DateConventions conventions_;
  bool translateMonthNames_ = false;
};

cSharedDateSubs& TheDateSubs();

}  // namespace twi
