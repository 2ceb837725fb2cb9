#pragma once
// A settings value: empty, text, whole number, decimal number, boolean or date,
// with the conversions the program's callers use.
#include <string>
#include <variant>

#include "base/Date.h"

namespace twi {

class Variant {
 public:
  Variant() = default;
  Variant(std::string text) : value_(std::move(text)) {}
  Variant(const char* text) : value_(std::string(text)) {}
  Variant(int number) : value_(static_cast<long>(number)) {}
  Variant(long number) : value_(number) {}
  Variant(double number) : value_(number) {}
  Variant(bool flag) : value_(flag) {}
  Variant(Date date) : value_(date) {}

  bool IsEmpty() const { return std::holds_alternative<std::monostate>(value_); }
  bool IsText() const { return std::holds_alternative<std::string>(value_); }
  bool IsLong() const { return std::holds_alternative<long>(value_); }
  bool IsDouble() const { return std::holds_alternative<double>(value_); }
  bool IsBool() const { return std::holds_alternative<bool>(value_); }
  bool IsDate() const { return std::holds_alternative<Date>(value_); }

  // The value as text ("True"/"False" for booleans, the locale's decimal
  // separator for decimal numbers, the short date for dates, "" when empty).
  std::string AsText() const;
  // The value as a whole number: text is read by its number (blanks allowed);
  // text without one is error 13; booleans give -1 and 0.
  long AsLong() const;
  double AsDouble() const;
  // A number that is not 0 is true; the words TRUE and FALSE are booleans.
  bool AsBool() const;

  bool operator==(const Variant&) const = default;

 private:
  std::variant<std::monostate, std::string, long, double, bool, Date> value_;
};

// The locale's decimal separator.
std::string LocaleDecimalSeparator();

}  // namespace twi
