#include "sys/cSharedDateSubs.h"

#include <windows.h>
#include <oleauto.h>

#include "base/Bstr.h"
#include "base/NoDestructor.h"
#include "base/TextConv.h"
#include "diag/cSharedLogging.h"

namespace twi {
namespace {

constexpr const char* kEnglishAbbreviations[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                   "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

std::string LocaleBoolWord(bool value) {
  BSTR raw = nullptr;
  HRESULT hr = VarBstrFromBool(value ? VARIANT_TRUE : VARIANT_FALSE, LOCALE_USER_DEFAULT,
                               VAR_LOCALBOOL, &raw);
  Bstr text = Bstr::Adopt(raw);
  if (FAILED(hr) || !text.Get()) return value ? "TRUE" : "FALSE";
  return UpperLocale(text.Text());
}

std::string ShortDateSample() {
  SYSTEMTIME christmas{};
  christmas.wYear = 2001;
  christmas.wMonth = 12;
  christmas.wDay = 25;
  wchar_t buffer[128] = {};
  GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &christmas, nullptr, buffer, 128);
  return ToUtf8(buffer);
}

std::string WithSeparatorOf(std::string format, const std::string& sample) {
  if (sample.find('.') != std::string::npos) format = ReplaceAll(format, "/", ".");
  if (sample.find('-') != std::string::npos) format = ReplaceAll(format, "/", "-");
  return format;
}

}  // namespace

DateConventions cSharedDateSubs::FromShortDateSample(const std::string& s) {
  DateConventions c;
  // Positions are 1-based; 0 means absent.
  auto position = [&](const char* part) {
    size_t p = s.find(part);
    return p == std::string::npos ? size_t{0} : p + 1;
  };
  bool twoDigitYear = false;
  size_t y = position("2001");
  if (y == 0) {
    y = position("01");
    twoDigitYear = true;
  }
  size_t m = position("12"), d = position("25");
  std::string format;
  if (y != 1) {
    c.SysDateYearField = 3;
    if (!(m > d)) {
      format = "MM/DD/YYYY";
      c.SysDateMonthField = 1;
      c.SysDateDayField = 2;
    } else {
      format = "DD/MM/YYYY";
      c.SysDateMonthField = 2;
      c.SysDateDayField = 1;
    }
  } else {
    c.SysDateYearField = 1;
    if (m > y && d > m) {
      format = "YYYY/MM/DD";
      c.SysDateMonthField = 2;
      c.SysDateDayField = 3;
    } else if (m < d) {
      format = "YYYY/DD/MM";
      c.SysDateMonthField = 3;
      c.SysDateDayField = 2;
    }
  }
  format = WithSeparatorOf(format, s);
  if (twoDigitYear) format = ReplaceAll(format, "YYYY", "YY");
  c.DateFormatString = format;
  c.FullDateFormatString = WithSeparatorOf("DD/MMM/YYYY", s);
  c.FullDateFormatPlusTimeString = c.FullDateFormatString + " HH:MM";
  c.DateSeparator = s.find('/') != std::string::npos   ? "/"
                    : s.find('.') != std::string::npos ? "."
                    : s.find('-') != std::string::npos ? "-"
                                                       : "/";
  return c;
}

void cSharedDateSubs::SetupLocale() {
  if (setUp_) return;
  setUp_ = true;
  for (int month = 0; month < 12; ++month) {
    wchar_t name[64] = {};
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SABBREVMONTHNAME1 + month, name, 64);
    if (UpperAscii(ToUtf8(name)) != kEnglishAbbreviations[month]) translateMonthNames_ = true;
  }
  conventions_ = FromShortDateSample(ShortDateSample());
  trueStr_ = LocaleBoolWord(true);
  falseStr_ = LocaleBoolWord(false);
  cSharedLogging& log = TheLog();
  log.AddAction("Date format: " + conventions_.DateFormatString);
  log.AddAction("Full date format: " + conventions_.FullDateFormatString);
  log.AddAction("Full date format plus time: " + conventions_.FullDateFormatPlusTimeString);
  log.AddAction("Date separator: " + conventions_.DateSeparator);
  log.AddAction("True string: " + trueStr_ + " False string: " + falseStr_);
}

const std::string& cSharedDateSubs::TrueStr() {
  SetupLocale();
  return trueStr_;
}

const std::string& cSharedDateSubs::FalseStr() {
  SetupLocale();
  return falseStr_;
}

const DateConventions& cSharedDateSubs::Conventions() {
  SetupLocale();
  return conventions_;
}

bool cSharedDateSubs::TranslateMonthNames() {
  SetupLocale();
  return translateMonthNames_;
}

cSharedDateSubs& TheDateSubs() { return SharedInstance<cSharedDateSubs>(); }

}  // namespace twi
