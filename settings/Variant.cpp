#include "settings/Variant.h"

#include <windows.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "base/RuntimeError.h"
#include "base/TextConv.h"

namespace twi {
namespace {

// Reads the number a text holds, blanks around it allowed; false when it holds none.
bool ParseNumber(const std::string& text, double& number) {
  std::string t = Trim(text);
  if (t.empty()) return false;
  std::string separator = LocaleDecimalSeparator();
  if (separator != ".") t = ReplaceAll(t, separator, ".");
  char* end = nullptr;
  number = std::strtod(t.c_str(), &end);
  return end && *end == '\0' && end != t.c_str();
}

}  // namespace

std::string LocaleDecimalSeparator() {
  wchar_t buffer[8] = {};
  if (!GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, 8) || !buffer[0]) return ".";
  return ToUtf8(buffer);
}

std::string Variant::AsText() const {
  if (auto* text = std::get_if<std::string>(&value_)) return *text;
  if (auto* number = std::get_if<long>(&value_)) return std::to_string(*number);
  if (auto* flag = std::get_if<bool>(&value_)) return *flag ? "True" : "False";
  if (auto* date = std::get_if<Date>(&value_)) return date->LocaleText();
  if (auto* number = std::get_if<double>(&value_)) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", *number);
    return ReplaceAll(buffer, ".", LocaleDecimalSeparator());
  }
  return "";
}

double Variant::AsDouble() const {
  if (auto* number = std::get_if<long>(&value_)) return static_cast<double>(*number);
  if (auto* number = std::get_if<double>(&value_)) return *number;
  if (auto* flag = std::get_if<bool>(&value_)) return *flag ? -1.0 : 0.0;
  if (auto* date = std::get_if<Date>(&value_)) return date->value;
  if (IsEmpty()) return 0.0;
  const std::string& text = std::get<std::string>(value_);
  std::string upper = UpperAscii(Trim(text));
  if (upper == "TRUE") return -1.0;
  if (upper == "FALSE") return 0.0;
  double number = 0;
  if (!ParseNumber(text, number)) throw RuntimeError::Numbered(err::TypeMismatch);
  return number;
}

long Variant::AsLong() const {
  // Halves go to the even neighbour, as whole-number conversions do here. A number out
  // of the whole number's range ("1e30" typed into the settings file) is an overflow.
  const double rounded = std::nearbyint(AsDouble());
  if (!(rounded >= static_cast<double>(LONG_MIN) && rounded <= static_cast<double>(LONG_MAX)))
    throw RuntimeError::Numbered(err::Overflow);
  return static_cast<long>(rounded);
}

bool Variant::AsBool() const {
  if (auto* flag = std::get_if<bool>(&value_)) return *flag;
  return AsDouble() != 0.0;
}

}  // namespace twi
