// The stored form of the proxy password: Encrypt, Decrypt and the reference
// converter behind Decrypt (cHtmlToChar), in the ANSI code page 1252 of the
// test prefix.
#include <gtest/gtest.h>

#include <windows.h>

#include "base/TextConv.h"
#include "net/PasswordScrambler.h"
#include "platform/twhtml/HtmlToChar.h"
#include "support/TestSupport.h"

namespace {

// One ANSI code as a (UTF-8) character.
std::string Char(int code) { return twi::AnsiToUtf8(std::string(1, static_cast<char>(code))); }

// The scrambled form of an ASCII text: every code 100 higher.
std::string Shifted(const std::string& ascii) {
  std::string bytes;
  for (char c : ascii) bytes += static_cast<char>(static_cast<unsigned char>(c) + 100);
  return twi::AnsiToUtf8(bytes);
}

TEST(Scrambler, TheCodePageIsWindows1252) { ASSERT_EQ(GetACP(), 1252u); }

TEST(Scrambler, StoredForms) {
  struct Case {
    std::string password;
    std::string referenced;  // before the shift
  } cases[] = {
      {"A", "A"},
      {"secret", "secret"},
      {"a b", "a&nbsp;b"},
      {"\"q\"", "&quot;q&quot;"},
      {"<>", "&lt;&gt;"},
      {Char(150) + Char(151), "&ndash;&mdash;"},
      {Char(161) + Char(163) + Char(222) + Char(224) + Char(255),
       "&iexcl;&pound;&THORN;&agrave;&yuml;"},
      {Char(233), "&eacute;"},
      {"a&b", "a&b"},  // a plain ampersand keeps its stored form
      {"&", "&"},
      {"&amp", "&amp"},
      // No character lies 100 codes above these: numeric references.
      {Char(223), "&#223;"},
      {Char(162), "&#162;"},
      {Char(160), "&#160;"},
      {Char(156), "&#339;"},  // the oe ligature, U+0153
      {Char(158) + Char(159), "&#382;&#376;"},
      // Characters up to code 155 are moved as they are.
      {Char(128) + Char(153) + Char(155), Char(128) + Char(153) + Char(155)},
      // An ampersand that would be read back as a reference is written as &amp;.
      {"x&lt;y", "x&amp;lt;y"},
      {"&#65;", "&amp;#65;"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.password);
    EXPECT_EQ(twi::Encrypt(c.password), Shifted(twi::Utf8ToAnsi(c.referenced)));
  }
  // Blanks only: moved, not referenced.
  EXPECT_EQ(twi::Encrypt(" "), Shifted(" "));
  EXPECT_EQ(twi::Encrypt("   "), Shifted("   "));
  EXPECT_EQ(twi::Encrypt(""), "");
}

TEST(Scrambler, EveryAnsiCharacterFrom32To255SurvivesStoringAndReading) {
  std::string all;
  for (int code = 32; code <= 255; ++code) {
    std::string c = Char(code);
    all += c;
    SCOPED_TRACE(code);
    EXPECT_EQ(twi::Decrypt(twi::Encrypt(c)), c);
    EXPECT_EQ(twi::Decrypt(twi::Encrypt("x" + c + "y")), "x" + c + "y");
  }
  EXPECT_EQ(twi::Decrypt(twi::Encrypt(all)), all);
  for (const std::string text : {" ", "   ", " a ", "\"", "\"quoted\"", "<", ">", "<b>", "&",
                                 "a&b", "&amp;", "a&lt;b", "&#223;", "&nbsp;", "P@ss w\xC3\xB6rd \xC3\x9F<>\"&"}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(twi::Decrypt(twi::Encrypt(text)), text);
  }
}

TEST(Scrambler, AnUnscrambledStoredPasswordIsAccepted) {
  EXPECT_EQ(twi::Decrypt("secret"), "secret");
  EXPECT_EQ(twi::Decrypt("a&lt;b"), "a<b");  // references are still converted
  EXPECT_EQ(twi::Decrypt(""), "");
  EXPECT_EQ(twi::Decrypt("  "), "  ");
  // A blank inside a password is stored as the scrambled "&nbsp;" and read back as a blank.
  EXPECT_EQ(twi::Decrypt(Shifted("a&nbsp;b")), "a b");
}

TEST(HtmlToChar, ConvertsIntoABlankFilledBufferTwiceAsLong) {
  struct Case {
    std::string text;
    std::string expected;  // ANSI
  } cases[] = {
      {"a&lt;b&gt;c", "a<b>c"},
      {"&quot;&amp;&apos;", "\"&'"},
      {"&nbsp;", " "},
      {"&eacute;&Eacute;&szlig;&cent;&yuml;", "\xE9\xC9\xDF\xA2\xFF"},
      {"&ndash;&mdash;&euro;&trade;&oelig;", "\x96\x97\x80\x99\x9C"},
      {"&#223;&#xDF;&#XdF;&#160;&#339;&#65;", "\xDF\xDF\xDF\xA0\x9C" "A"},
      {"&#12354;", "?"},  // not in code page 1252
      {"&unknown; & &; &#; &#x; &#0; &#55296; &lt", "&unknown; & &; &#; &#x; &#0; &#55296; &lt"},
      {"no references", "no references"},
      {"&amp;lt;", "&lt;"},  // one pass
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::string buffer(c.text.size() * 2, ' ');
    long length = cHtmlToChar(c.text.c_str(), buffer.data());
    EXPECT_EQ(length, static_cast<long>(c.expected.size()));
    EXPECT_EQ(buffer.substr(0, buffer.find('\0')), c.expected);
    EXPECT_EQ(buffer.find('\0'), c.expected.size());
  }
}

TEST(HtmlToChar, ReferenceLengths) {
  EXPECT_EQ(twi::twhtml::ReferenceLengthAt("x&lt;", 1), 4u);
  EXPECT_EQ(twi::twhtml::ReferenceLengthAt("&#223;", 0), 6u);
  EXPECT_EQ(twi::twhtml::ReferenceLengthAt("&lt", 0), 0u);
  EXPECT_EQ(twi::twhtml::ReferenceLengthAt("&zzz;", 0), 0u);
  EXPECT_EQ(twi::twhtml::ReferenceLengthAt("a&lt;", 0), 0u);
  EXPECT_STREQ(twi::twhtml::EntityNameOf(233), "eacute");
  EXPECT_EQ(twi::twhtml::EntityNameOf(0x4E00), nullptr);
}

}  // namespace
