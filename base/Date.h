#pragma once
// A date and time as the program stores them: days since 30 December 1899,
// the fraction being the time of day (local time).
#include <windows.h>

#include <string>

namespace twi {

struct Date {
  double value = 0.0;  // 0 is the zero date
  bool operator==(const Date&) const = default;

  static Date Now();
  static Date FromSystemTime(const SYSTEMTIME& time);
  static Date FromParts(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
  SYSTEMTIME ToSystemTime() const;
  bool IsZero() const { return value == 0.0; }
  bool HasTime() const;
  // "HH:mm:ss", 24-hour clock.
  std::string TimeText() const;
  // The user's short date, with the time only where it is not midnight.
  std::string LocaleText() const;
};

}  // namespace twi
