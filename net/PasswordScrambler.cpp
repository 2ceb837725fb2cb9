#include "net/PasswordScrambler.h"

#include <windows.h>

#include <vector>

#include "base/TextConv.h"
#include "diag/TrapToLog.h"
#include "platform/twhtml/HtmlToChar.h"

namespace twi {
namespace {

constexpr int kShift = 100;
constexpr unsigned char kHighestShifted = 255 - kShift;  // 155
constexpr unsigned char kFirstScrambled = 129;

// The character's bytes in the ANSI code page ("?" when the code page lacks it).
std::string AnsiBytes(const wchar_t* units, int count) {
  char bytes[8] = {};
  BOOL usedDefault = FALSE;
  int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, units, count, bytes, sizeof bytes, "?",
                              &usedDefault);
  if (n <= 0 || usedDefault) return "?";
  return std::string(bytes, static_cast<size_t>(n));
}

// Characters that Encrypt writes as named references: the double quote, the
// blank, "<", ">", the en and em dash, and the Latin-1 characters 161, 163 to
// 222 and 224 to 255 (the cent sign 162 and the sharp s 223 are not among them).
std::string NamedReferenceOf(unsigned codePoint) {
  switch (codePoint) {
    case '"': return "&quot;";
    case ' ': return "&nbsp;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    case 0x2013: return "&ndash;";
    case 0x2014: return "&mdash;";
    default: break;
  }
  if (codePoint == 161 || (codePoint >= 163 && codePoint <= 222) ||
      (codePoint >= 224 && codePoint <= 255))
    return std::string("&") + twhtml::EntityNameOf(codePoint) + ";";
  return "";
}

bool AnyAbove(const std::string& bytes, unsigned char limit) {
  for (char c : bytes)
    if (static_cast<unsigned char>(c) > limit) return true;
  return false;
}

}  // namespace

std::string Encrypt(const std::string& stringToEncrypt) {
  constexpr const char* kName = "Encrypt";
  constexpr const char* kModule = "modEncrypt";
  const bool blank = Trim(stringToEncrypt).empty();
  // Each "&" that would be read back as the start of a reference is written as
  // "&amp;"; every other "&" stays as it is.
  std::vector<bool> ampersandStartsReference;
  for (size_t pos = 0; pos < stringToEncrypt.size(); ++pos)
    if (stringToEncrypt[pos] == '&')
      ampersandStartsReference.push_back(twhtml::ReferenceLengthAt(stringToEncrypt, pos) > 0);
  size_t ampersands = 0;

  std::wstring wide = ToWide(stringToEncrypt);
  std::string referenced;  // ANSI bytes, none above code 155
  for (size_t i = 0; i < wide.size(); ++i) {
    TrapToLog(kName, kModule, [&] {
      bool pair = wide[i] >= 0xD800 && wide[i] <= 0xDBFF && i + 1 < wide.size();
      unsigned codePoint = pair ? 0x10000 + ((wide[i] - 0xD800u) << 10) + (wide[i + 1] - 0xDC00u)
                                : wide[i];
      std::string bytes = AnsiBytes(&wide[i], pair ? 2 : 1);
      if (pair) ++i;
      if (codePoint == '&') {
        referenced += ampersandStartsReference[ampersands++] ? "&amp;" : "&";
      } else if (std::string named = blank ? "" : NamedReferenceOf(codePoint); !named.empty()) {
        referenced += named;
      } else if (AnyAbove(bytes, kHighestShifted) && bytes != "?") {
        // No character lies 100 codes above it: a numeric reference instead.
        referenced += "&#" + std::to_string(codePoint) + ";";
      } else {
        referenced += bytes;
      }
    });
  }
  std::string scrambled;
  for (char c : referenced)
    scrambled += static_cast<char>(static_cast<unsigned char>(c) + kShift);
  return AnsiToUtf8(scrambled);
}

std::string Decrypt(const std::string& stringToDecrypt) {
  constexpr const char* kName = "Decrypt";
  constexpr const char* kModule = "modDecrypt";
  if (stringToDecrypt.empty()) return "";
  std::string text;
  TrapToLog(kName, kModule, [&] { text = Utf8ToAnsi(stringToDecrypt); });
  TrapToLog(kName, kModule, [&] {
    if (!text.empty() && static_cast<unsigned char>(text[0]) >= kFirstScrambled)
      for (char& c : text)
        if (static_cast<unsigned char>(c) >= kShift + 1)
          c = static_cast<char>(static_cast<unsigned char>(c) - kShift);
  });
  std::string result = text;
  if (!Trim(text).empty()) {
    // The converter's contract: the text, and a buffer of blanks twice as long.
    std::string buffer(text.size() * 2, ' ');
    TrapToLog("HtmlToChar", "cHtml", [&] { cHtmlToChar(text.c_str(), buffer.data()); });
    std::string converted = buffer.substr(0, buffer.find('\0'));
    if (!Trim(converted).empty()) result = converted;
  }
  std::string decrypted;
  TrapToLog(kName, kModule, [&] { decrypted = AnsiToUtf8(result); });
  return decrypted;
}

}  // namespace twi
