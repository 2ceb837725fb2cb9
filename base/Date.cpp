#include "base/Date.h"

#include <oleauto.h>

#include <cmath>
#include <cstdio>

#include "base/TextConv.h"

namespace twi {

Date Date::Now() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  now.wMilliseconds = 0;
  return FromSystemTime(now);
}

Date Date::FromSystemTime(const SYSTEMTIME& time) {
  SYSTEMTIME copy = time;
  copy.wMilliseconds = 0;
  double value = 0;
  SystemTimeToVariantTime(&copy, &value);
  return Date{value};
}

Date Date::FromParts(int year, int month, int day, int hour, int minute, int second) {
  SYSTEMTIME time{};
  time.wYear = static_cast<WORD>(year);
  time.wMonth = static_cast<WORD>(month);
  time.wDay = static_cast<WORD>(day);
  time.wHour = static_cast<WORD>(hour);
  time.wMinute = static_cast<WORD>(minute);
  time.wSecond = static_cast<WORD>(second);
  return FromSystemTime(time);
}

SYSTEMTIME Date::ToSystemTime() const {
  SYSTEMTIME time{};
  VariantTimeToSystemTime(value, &time);
  return time;
}

bool Date::HasTime() const { return std::fabs(value - std::trunc(value)) > 1e-9; }

std::string Date::TimeText() const {
  SYSTEMTIME t = ToSystemTime();
  char text[16];
  std::snprintf(text, sizeof text, "%02u:%02u:%02u", t.wHour, t.wMinute, t.wSecond);
  return text;
}

std::string Date::LocaleText() const {
  SYSTEMTIME t = ToSystemTime();
  wchar_t buffer[128] = {};
  GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &t, nullptr, buffer, 128);
  std::string text = ToUtf8(buffer);
  if (HasTime()) {
    wchar_t time[64] = {};
    GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &t, nullptr, time, 64);
    text += " " + ToUtf8(time);
  }
  return text;
}

}  // namespace twi
