#include "platform/twhtml/HtmlToChar.h"

#include <cstring>
#include <optional>

namespace twi::twhtml {
namespace {

struct Entity {
  const char* name;
  unsigned codePoint;
};

// HTML 4: the Latin-1 set, the markup characters and the special characters
// that Windows-1252 holds.
constexpr Entity kEntities[] = {
    {"quot", 34},     {"amp", 38},      {"apos", 39},     {"lt", 60},       {"gt", 62},
    {"nbsp", 160},    {"iexcl", 161},   {"cent", 162},    {"pound", 163},   {"curren", 164},
    {"yen", 165},     {"brvbar", 166},  {"sect", 167},    {"uml", 168},     {"copy", 169},
    {"ordf", 170},    {"laquo", 171},   {"not", 172},     {"shy", 173},     {"reg", 174},
    {"macr", 175},    {"deg", 176},     {"plusmn", 177},  {"sup2", 178},    {"sup3", 179},
    {"acute", 180},   {"micro", 181},   {"para", 182},    {"middot", 183},  {"cedil", 184},
    {"sup1", 185},    {"ordm", 186},    {"raquo", 187},   {"frac14", 188},  {"frac12", 189},
    {"frac34", 190},  {"iquest", 191},  {"Agrave", 192},  {"Aacute", 193},  {"Acirc", 194},
    {"Atilde", 195},  {"Auml", 196},    {"Aring", 197},   {"AElig", 198},   {"Ccedil", 199},
    {"Egrave", 200},  {"Eacute", 201},  {"Ecirc", 202},   {"Euml", 203},    {"Igrave", 204},
    {"Iacute", 205},  {"Icirc", 206},   {"Iuml", 207},    {"ETH", 208},     {"Ntilde", 209},
    {"Ograve", 210},  {"Oacute", 211},  {"Ocirc", 212},   {"Otilde", 213},  {"Ouml", 214},
    {"times", 215},   {"Oslash", 216},  {"Ugrave", 217},  {"Uacute", 218},  {"Ucirc", 219},
    {"Uuml", 220},    {"Yacute", 221},  {"THORN", 222},   {"szlig", 223},   {"agrave", 224},
    {"aacute", 225},  {"acirc", 226},   {"atilde", 227},  {"auml", 228},    {"aring", 229},
    {"aelig", 230},   {"ccedil", 231},  {"egrave", 232},  {"eacute", 233},  {"ecirc", 234},
    {"euml", 235},    {"igrave", 236},  {"iacute", 237},  {"icirc", 238},   {"iuml", 239},
    {"eth", 240},     {"ntilde", 241},  {"ograve", 242},  {"oacute", 243},  {"ocirc", 244},
    {"otilde", 245},  {"ouml", 246},    {"divide", 247},  {"oslash", 248},  {"ugrave", 249},
    {"uacute", 250},  {"ucirc", 251},   {"uuml", 252},    {"yacute", 253},  {"thorn", 254},
    {"yuml", 255},    {"OElig", 338},   {"oelig", 339},   {"Scaron", 352},  {"scaron", 353},
    {"Yuml", 376},    {"fnof", 402},    {"circ", 710},    {"tilde", 732},   {"ensp", 8194},
    {"emsp", 8195},   {"thinsp", 8201}, {"ndash", 8211},  {"mdash", 8212},  {"lsquo", 8216},
    {"rsquo", 8217},  {"sbquo", 8218},  {"ldquo", 8220},  {"rdquo", 8221},  {"bdquo", 8222},
    {"dagger", 8224}, {"Dagger", 8225}, {"bull", 8226},   {"hellip", 8230}, {"permil", 8240},
    {"lsaquo", 8249}, {"rsaquo", 8250}, {"euro", 8364},   {"trade", 8482},
};

constexpr std::size_t kLongestName = 7;  // "thinsp" and "frac14" are 6; 7 leaves room
constexpr unsigned kBlankForNbsp = 32;

struct Reference {
  unsigned codePoint;
  std::size_t length;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

std::optional<Reference> ReferenceAt(std::string_view text, std::size_t pos) {
  if (pos >= text.size() || text[pos] != '&') return std::nullopt;
  std::size_t semicolon = text.find(';', pos + 1);
  if (semicolon == std::string_view::npos || semicolon == pos + 1 ||
      semicolon - pos - 1 > kLongestName + 2)
    return std::nullopt;
  std::string_view name = text.substr(pos + 1, semicolon - pos - 1);
  std::size_t length = semicolon - pos + 1;
  if (name[0] == '#') {
    bool hex = name.size() > 1 && (name[1] == 'x' || name[1] == 'X');
    std::string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 7) return std::nullopt;
    unsigned value = 0;
    for (char c : digits) {
      if (hex ? !IsHexDigit(c) : !IsDigit(c)) return std::nullopt;
      unsigned digit = IsDigit(c) ? static_cast<unsigned>(c - '0')
                                  : static_cast<unsigned>((c | 0x20) - 'a' + 10);
      value = value * (hex ? 16 : 10) + digit;
    }
    if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return std::nullopt;
    return Reference{value, length};
  }
  for (const Entity& entity : kEntities)
    if (name == entity.name)
      return Reference{entity.codePoint == 160 ? kBlankForNbsp : entity.codePoint, length};
  return std::nullopt;
}

// The character in the ANSI code page ("?" when the code page lacks it).
std::string AnsiOf(unsigned codePoint) {
  wchar_t wide[2];
  int units = 1;
  if (codePoint > 0xFFFF) {
    codePoint -= 0x10000;
    wide[0] = static_cast<wchar_t>(0xD800 + (codePoint >> 10));
    wide[1] = static_cast<wchar_t>(0xDC00 + (codePoint & 0x3FF));
    units = 2;
  } else {
    wide[0] = static_cast<wchar_t>(codePoint);
  }
  char bytes[8] = {};
  BOOL usedDefault = FALSE;
  int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, units, bytes, sizeof bytes, "?",
                              &usedDefault);
  if (n <= 0 || usedDefault) return "?";
  return std::string(bytes, static_cast<std::size_t>(n));
}

}  // namespace

std::size_t ReferenceLengthAt(std::string_view text, std::size_t pos) {
  std::optional<Reference> reference = ReferenceAt(text, pos);
  return reference ? reference->length : 0;
}

const char* EntityNameOf(unsigned codePoint) {
  for (const Entity& entity : kEntities)
    if (entity.codePoint == codePoint) return entity.name;
  return nullptr;
}

std::string DecodeReferences(std::string_view ansi) {
  std::string out;
  out.reserve(ansi.size());
  for (std::size_t pos = 0; pos < ansi.size();) {
    if (std::optional<Reference> reference = ReferenceAt(ansi, pos)) {
      out += AnsiOf(reference->codePoint);
      pos += reference->length;
    } else {
      out += ansi[pos++];
    }
  }
  return out;
}

}  // namespace twi::twhtml

extern "C" long WINAPI cHtmlToChar(const char* text, char* buffer) {
  if (!text || !buffer) return 0;
  // Never longer than the text: every reference is at least four characters
  // and becomes at most two bytes; the buffer is twice as long.
  std::string decoded = twi::twhtml::DecodeReferences(text);
  std::memcpy(buffer, decoded.data(), decoded.size());
  buffer[decoded.size()] = '\0';
  return static_cast<long>(decoded.size());
}
